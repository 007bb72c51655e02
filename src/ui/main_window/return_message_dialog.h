// The caption-only popup that shows a unit's return message in red for one
// second and then closes itself.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QTimer>

namespace varnex {

class ReturnMessageDialog : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kLifetimeMs = 1000;

    ReturnMessageDialog(const QString& text, QWidget* owner);

    QString text() const { return label_->text(); }
    // Shows another text and counts the second again from now.
    void restart(const QString& text);

    void reject() override;

  private:
    QLabel* label_;
    QTimer lifetime_;
    bool expired_ = false;
};

// At most this many popups are open at once; a burst of return codes beyond
// that goes to the newest popup, which shows the latest text.
inline constexpr int kMaxOpenReturnMessages = 3;

// Opens a popup over `owner` without blocking the caller.
ReturnMessageDialog* ShowReturnMessage(QWidget* owner, const QString& text);

}  // namespace varnex
