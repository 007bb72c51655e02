// "Relay Timer": a delay of up to 30 days 23:59:59, a stored script to run
// when it has counted down, once or again and again.
#pragma once

#include <QDialog>
#include <QTimer>
#include <array>

#include "automation/relay_timer.h"

class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace varnex {

struct DialogContext;
class ScriptPicker;

class RelayTimerDialog : public QDialog {
    Q_OBJECT

  public:
    // Asks the unit for its script table and starts watching for it.
    RelayTimerDialog(DialogContext& context, QWidget* parent);

    ScriptPicker& picker() { return *picker_; }
    QComboBox* field(std::size_t k) const { return fields_[k]; }
    QLabel* readout(std::size_t k) const { return readouts_[k]; }
    QLabel* scriptLabel() const { return scriptLabel_; }

    void done(int result) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void WatchTable();
    void SetTimer();
    void StopTimer();
    void ShowChosenName(std::optional<int> row);

    DialogContext& context_;
    ScriptPicker* picker_;
    std::array<QComboBox*, kTimerFields.size()> fields_{};
    std::array<QLabel*, kTimerFields.size()> readouts_{};
    QLabel* scriptLabel_;
    QRadioButton* oneShot_;
    QRadioButton* continuous_;
    QTimer tableWatch_;
};

void OpenRelayTimerDialog(QWidget* parent, DialogContext& context);

}  // namespace varnex
