// "Temperature Control": the unit runs one stored script above an upper
// threshold and another below a lower one.
#pragma once

#include <QDialog>
#include <QTimer>
#include <array>

#include "automation/temperature_trigger.h"

class QLabel;
class QLineEdit;
class QRadioButton;
class QSlider;

namespace varnex {

struct DialogContext;
class ScriptPicker;

class TemperatureControlDialog : public QDialog {
    Q_OBJECT

  public:
    // The thresholds, the upper one first.
    enum Group { kUpper = 0, kLower = 1 };

    // Shows the setting of the last status record, asks the unit for its
    // script table and starts watching for it.
    TemperatureControlDialog(DialogContext& context, QWidget* parent);

    QRadioButton* disableOption() const { return disable_; }
    QRadioButton* executeOption() const { return execute_; }
    QLabel* currentTemperature() const { return current_; }
    QSlider* slider(Group g) const { return groups_[g].slider; }
    QLineEdit* celsius(Group g) const { return groups_[g].celsius; }
    QLineEdit* fahrenheit(Group g) const { return groups_[g].fahrenheit; }
    ScriptPicker& picker(Group g) const { return *groups_[g].picker; }

    void done(int result) override;

  private:
    struct ThresholdGroup {
        QSlider* slider = nullptr;
        QLineEdit* celsius = nullptr;
        QLineEdit* fahrenheit = nullptr;
        ScriptPicker* picker = nullptr;
    };

    QLayout* MakeGroup(Group g, std::string_view caption);
    void Colour(const ThresholdGroup& group);
    // Radio, sliders and name lists for the trigger on or off, the sliders
    // at the given thresholds.
    void ShowOption(bool executeOn, int upper, int lower);
    void ChooseDisable();
    void ChooseExecute();
    void WatchTable();
    void ShowReadout();
    void ShowCurrentTemperature();
    void Upload();
    void Reset();

    DialogContext& context_;
    QRadioButton* disable_;
    QRadioButton* execute_;
    QLabel* current_;
    std::array<ThresholdGroup, 2> groups_{};
    QTimer tableWatch_;
    QTimer readout_;
};

void OpenTemperatureControlDialog(QWidget* parent, DialogContext& context);

}  // namespace varnex
