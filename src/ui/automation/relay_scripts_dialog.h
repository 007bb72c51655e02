// "Relay Scripts": read the unit's eight scripts, compose one from the step
// vocabulary, upload it into a slot under a name, execute a slot.
#pragma once

#include <QDialog>
#include <QTimer>

#include "automation/relay_scripts.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QStackedWidget;

namespace varnex {

struct DialogContext;
class ScriptPicker;

class RelayScriptsDialog : public QDialog {
    Q_OBJECT

  public:
    // Asks the unit for its script table and starts watching for it.
    RelayScriptsDialog(DialogContext& context, QWidget* parent);

    ScriptPicker& picker() { return *picker_; }
    bool naming() const;

    void done(int result) override;

  private:
    void WatchTable();
    void Execute();
    void Upload();
    void AcceptName();
    void SetNaming(bool naming);
    ScriptChoice Choice() const;

    DialogContext& context_;
    ScriptPicker* picker_;
    QListWidget* commands_;
    QLabel* arrow_;
    QStackedWidget* commandPlace_;
    QLineEdit* nameEdit_;
    QPushButton* execute_;
    QPushButton* upload_;
    QPushButton* refresh_;
    QPushButton* close_;
    QTimer tableWatch_;
};

void OpenRelayScriptsDialog(QWidget* parent, DialogContext& context);

}  // namespace varnex
