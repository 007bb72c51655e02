// "Voltmeter n Options": one voltmeter's label, notes, view and range jumper,
// kept in the station record.
#pragma once

#include <QDialog>

#include "settings/voltmeter_options.h"
#include "ui/widgets/dialog_context.h"

class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace varnex {

class VoltmeterOptionsDialog : public QDialog {
    Q_OBJECT
  public:
    VoltmeterOptionsDialog(QWidget* parent, DialogContext& context, int voltmeter,
                           const VoltmeterOptionsView& view);

    QPlainTextEdit* notesField() const { return notes_; }
    QLineEdit* nameField() const { return name_; }
    QRadioButton* plainTextChoice() const { return plainText_; }
    QRadioButton* graphicalChoice() const { return graphical_; }
    QGroupBox* jumperGroup() const { return jumperGroup_; }
    QRadioButton* installedChoice() const { return installed_; }
    QRadioButton* notInstalledChoice() const { return notInstalled_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

  private:
    void Save();

    DialogContext context_;
    int voltmeter_;
    QPlainTextEdit* notes_;
    QLineEdit* name_;
    QRadioButton* plainText_;
    QRadioButton* graphical_;
    QGroupBox* jumperGroup_;
    QRadioButton* installed_;
    QRadioButton* notInstalled_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

// The small button beside each voltmeter: 1 to 8; any other number opens nothing.
void OpenVoltmeterOptionsDialog(QWidget* parent, DialogContext& context, int voltmeter);

}  // namespace varnex
