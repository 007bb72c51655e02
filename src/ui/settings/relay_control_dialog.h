// "Relay n Control": switch one power relay on, off, or on and back off after
// a chosen time, and edit its name and notes.
#pragma once

#include <QDialog>

#include "settings/relay_control.h"
#include "ui/widgets/dialog_context.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSlider;

namespace varnex {

class RelayControlDialog : public QDialog {
    Q_OBJECT
  public:
    // `view` is what OpenRelayControl gave for `relay`.
    RelayControlDialog(QWidget* parent, DialogContext& context, int relay,
                       const RelayControlView& view);

    QRadioButton* onChoice() const { return on_; }
    QRadioButton* offChoice() const { return off_; }
    QRadioButton* toggleChoice() const { return toggle_; }
    QSlider* seconds() const { return seconds_; }
    QLabel* secondsText() const { return secondsText_; }
    QPushButton* actionButton() const { return action_; }
    QLineEdit* nameField() const { return name_; }
    QPushButton* updateNameButton() const { return updateName_; }
    QPlainTextEdit* notesField() const { return notes_; }
    QPushButton* updateNotesButton() const { return updateNotes_; }
    QPushButton* closeButton() const { return close_; }

  private:
    void DoAction();

    DialogContext context_;
    int relay_;
    QRadioButton* on_;
    QRadioButton* off_;
    QRadioButton* toggle_;
    QSlider* seconds_;
    QLabel* secondsText_;
    QPushButton* action_;
    QLineEdit* name_;
    QPushButton* updateName_;
    QPlainTextEdit* notes_;
    QPushButton* updateNotes_;
    QPushButton* close_;
};

// The main window's relay buttons: relay 1 to 3; any other number opens nothing.
void OpenRelayControlDialog(QWidget* parent, DialogContext& context, int relay);

}  // namespace varnex
