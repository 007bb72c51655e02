// A chart view that zooms the time axis with a rubber band and the wheel,
// pans it by dragging with the right (or middle) button, and says when the
// user changed what is shown.
#pragma once

#include <QChartView>

namespace varnex {

class HistoryChartView : public QChartView {
    Q_OBJECT
  public:
    explicit HistoryChartView(QChart* chart, QWidget* parent = nullptr);

  signals:
    // The visible time range changed by the user's hand.
    void viewChanged();

  protected:
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    bool panning_ = false;
    QPointF lastPan_;
};

}  // namespace varnex
