// The caption-only popup that shows a unit's return message in red for one
// second and then closes itself. It never takes the keyboard focus: the user
// goes on typing or clicking where they were.
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
    // Later popups have larger numbers.
    quint64 serial() const { return serial_; }
    // Shows another text and counts the second again from now.
    void restart(const QString& text);

    void reject() override;

  private:
    QLabel* label_;
    QTimer lifetime_;
    bool expired_ = false;
    quint64 serial_;
};

// At most this many popups are open at once; a burst of return codes beyond
// that goes to the newest popup, which shows the latest text.
inline constexpr int kMaxOpenReturnMessages = 3;

// Opens a popup without blocking the caller. It belongs to the program's
// active modal dialog when one is open, else to `mainWindow`: a window
// manager keeps it above its owner, where the user is looking.
ReturnMessageDialog* ShowReturnMessage(QWidget* mainWindow, const QString& text);

}  // namespace varnex
