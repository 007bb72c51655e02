// The "Aquire Data" activity indicator: a fixed caption whose colour pulses
// twenty times a second while a session runs. A QLabel recoloured through its
// palette lays its text out again and notifies the whole window on every
// step; this widget draws each colour's face once and afterwards only copies
// it onto its own rectangle.
#pragma once

#include <QColor>
#include <QPixmap>
#include <QWidget>
#include <unordered_map>

namespace varnex {

class PulseIndicator : public QWidget {
  public:
    PulseIndicator(const QString& caption, QWidget* parent);

    // Paints at once when the colour really changes: the pulse is an
    // animation, and waiting for the next event-loop pass would cost a
    // second wake-up per step.
    void SetColour(const QColor& colour);
    QColor colour() const { return colour_; }
    const QString& caption() const { return caption_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    const QPixmap& Face(const QColor& colour);

    QString caption_;
    QColor colour_{Qt::black};
    // One face per colour shown; the pulse uses a dozen. Drawn again after
    // a change of size, font or palette.
    std::unordered_map<QRgb, QPixmap> faces_;
};

}  // namespace varnex
