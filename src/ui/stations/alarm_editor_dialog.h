// One station's alarm settings: whether it is watched, lower and upper
// limits with a hysteresis for each voltmeter and the temperature, and how
// long a silence may last. Its rules live in stations/station_watch.h.
#pragma once

#include <QDialog>
#include <array>
#include <cstdint>
#include <optional>

#include "stations/station_watch.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace varnex {

class AlarmEditorDialog : public QDialog {
    Q_OBJECT
  public:
    // The voltmeters, then the temperature: `reading` 0..7, then 8.
    static constexpr std::size_t kReadings = kVoltmeterColumns + 1;
    enum Field { Lower, Upper, Hysteresis, kFieldCount };

    AlarmEditorDialog(QWidget* parent, StationStore& store, const LoadedStation& station,
                      uint32_t pollIntervalSeconds);

    bool saved() const { return saved_; }

    QCheckBox* watchBox() const { return watch_; }
    QLabel* captionLabel(std::size_t reading) const { return captions_[reading]; }
    QLabel* rangeLabel(std::size_t reading) const { return ranges_[reading]; }
    QLineEdit* limitField(std::size_t reading, Field field) const {
        return fields_[reading][field];
    }
    QLineEdit* silenceField() const { return silence_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

  private:
    void Show(const StationWatch& watch);
    // The settings as typed, or nullopt after telling which field is not a number.
    std::optional<StationWatch> Typed() const;
    void OnOk();
    void Tell(const std::string& text) const;

    StationStore& store_;
    LoadedStation station_;
    uint32_t pollIntervalSeconds_;
    QCheckBox* watch_ = nullptr;
    std::array<QLabel*, kReadings> captions_{};
    std::array<QLabel*, kReadings> ranges_{};
    std::array<std::array<QLineEdit*, kFieldCount>, kReadings> fields_{};
    QLineEdit* silence_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    bool saved_ = false;
};

// Opens the editor, modal; answers whether it saved.
bool OpenAlarmEditor(QWidget* parent, StationStore& store, const LoadedStation& station,
                     uint32_t pollIntervalSeconds);

}  // namespace varnex
