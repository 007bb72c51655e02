// The pair of a name list (the unit's eight script slots) and a step list
// through which the script dialogs let the user choose a slot. The step list
// follows a mouse click on a name, never a keyboard move, so a user can walk
// the names with the arrow keys without losing the steps on show.
#pragma once

#include <QObject>
#include <QString>
#include <optional>
#include <string>
#include <string_view>

#include "protocol/script_record.h"

class QListWidget;
class QWidget;

namespace varnex {

// Script names and step texts travel as single bytes: Latin-1 maps each
// byte to one character and back.
QString FromWireText(std::string_view text);
std::string ToWireText(const QString& text);

class ScriptPicker : public QObject {
    Q_OBJECT

  public:
    // Creates both lists as children of `parent`; the dialog places them.
    // `table` is the session's table, which outlives every dialog.
    ScriptPicker(const ScriptTable& table, QWidget* parent);

    QListWidget* names() const { return names_; }
    QListWidget* steps() const { return steps_; }

    // Clears the name list and adds the eight slot names as stored,
    // padding kept, in slot order; no row is selected afterwards.
    void FillNames();
    // Replaces the step list's rows with the steps of slot `row`.
    void ShowSlot(int row);
    // Selects name row `row` (0..7) and shows its steps.
    void SelectSlot(int row);
    void ClearSteps();
    // Sizes the name list to show its eight rows without scrolling, each row
    // as high as the returned height, so that labels beside the list can
    // line up with them.
    int FitNameRows();

    // The selected name row 0..7, or nothing.
    std::optional<int> SelectedRow() const;
    // The step list's texts in order.
    std::vector<std::string> StepTexts() const;

  Q_SIGNALS:
    // After a mouse release over the name list has refreshed the step list.
    void Chosen(std::optional<int> row);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Choose();

    const ScriptTable& table_;
    QListWidget* names_;
    QListWidget* steps_;
    int nameRowHeight_ = 0;
};

}  // namespace varnex
