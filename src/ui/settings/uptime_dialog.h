// "System Up Time": the unit's uptime in six units, refreshed every second
// from the latest status reply while the dialog is open.
#pragma once

#include <QDialog>
#include <QTimer>
#include <array>

#include "settings/uptime.h"
#include "ui/widgets/dialog_context.h"

class QLabel;
class QPushButton;

namespace varnex {

class UptimeDialog : public QDialog {
    Q_OBJECT
  public:
    UptimeDialog(QWidget* parent, DialogContext& context);

    QLabel* valueLabel(std::size_t row) const { return values_[row]; }
    QPushButton* okButton() const { return ok_; }
    const QTimer& refreshTimer() const { return refresh_; }

    // Shows the six values of the latest reported uptime (the timer's work).
    void Refresh();

  protected:
    void done(int result) override;

  private:
    DialogContext context_;
    std::array<QLabel*, kUptimeRows> values_{};
    QPushButton* ok_;
    QTimer refresh_;
};

void OpenUptimeDialog(QWidget* parent, DialogContext& context);

}  // namespace varnex
