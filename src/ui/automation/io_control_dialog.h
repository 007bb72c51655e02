// "I/O Control": the unit runs one stored script when a pin becomes 0 and
// another when it becomes 1, set here for one pin at a time.
#pragma once

#include <QDialog>
#include <QTimer>

#include "automation/io_trigger.h"

class QLabel;
class QRadioButton;

namespace varnex {

struct DialogContext;
class ScriptPicker;

class IoControlDialog : public QDialog {
    Q_OBJECT

  public:
    // `pin` 1..5 as the main window's button names it. Shows the pin's
    // setting of the last status record, asks for the script table and
    // starts watching for it.
    IoControlDialog(DialogContext& context, int pin, QWidget* parent);

    QRadioButton* disableOption() const { return disable_; }
    QRadioButton* executeOption() const { return execute_; }
    QLabel* pinLabel() const { return pinLabel_; }
    // Scripts for the pin becoming 0 (upper) and 1 (lower).
    ScriptPicker& forZero() const { return *forZero_; }
    ScriptPicker& forOne() const { return *forOne_; }

    void done(int result) override;

  private:
    void ShowOption(bool executeOn);
    void ChooseDisable();
    void WatchTable();
    void Upload();

    DialogContext& context_;
    int pin_;
    QRadioButton* disable_;
    QRadioButton* execute_;
    QLabel* pinLabel_;
    ScriptPicker* forZero_;
    ScriptPicker* forOne_;
    QTimer tableWatch_;
};

// Nothing opens for a pin outside 1..5.
void OpenIoControlDialog(QWidget* parent, DialogContext& context, int pin);

}  // namespace varnex
