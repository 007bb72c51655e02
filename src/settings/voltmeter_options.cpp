#include "settings/voltmeter_options.h"

#include "session/session.h"
#include "stations/station_writers.h"

namespace varnex {
namespace {

constexpr int kJumperedVoltmeters = 2;
constexpr const char* kStandardView = "STANDARD";
constexpr const char* kGraphicalView = "GRAPHICAL";
constexpr const char* kJumperRemoved = "OFF";

std::optional<std::size_t> VoltmeterIndex(int voltmeter) {
    if (voltmeter < 1 || voltmeter > static_cast<int>(kVoltmeterColumns)) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(voltmeter - 1);
}

// Voltmeter 1's range jumper is JP6, voltmeter 2's JP7.
template <typename Station>
auto& JumperOf(Station& station, std::size_t index) {
    return index == 0 ? station.jumper6 : station.jumper7;
}

}  // namespace

std::optional<VoltmeterOptionsView> OpenVoltmeterOptions(const Session& session, int voltmeter) {
    const std::optional<std::size_t> index = VoltmeterIndex(voltmeter);
    if (!index) {
        return std::nullopt;
    }
    const LoadedStation& station = session.station();
    VoltmeterOptionsView view;
    view.title = "Voltmeter " + std::to_string(voltmeter) + " Options";
    if (voltmeter <= kJumperedVoltmeters) {
        view.jumperCaption = "Jumper " + std::to_string(voltmeter + 5);
        view.jumperEnabled = true;
        view.jumperInstalled = JumperOf(station, *index) == kJumperInstalled;
    }
    view.plainText = station.views[*index] == kStandardView;
    view.notes = station.notes[*index];
    view.label = station.labels[*index];
    return view;
}

DialogOutcome SaveVoltmeterOptions(Session& session, StationStore& stations, int voltmeter,
                                   const VoltmeterChoice& choice) {
    const std::optional<std::size_t> index = VoltmeterIndex(voltmeter);
    if (!index) {
        return DialogOutcome::Closes;
    }
    const PlatformHooks& hooks = stations.hooks();
    VoltmeterOptions options;
    options.notes = FieldText(choice.notes, kVoltmeterNotesChars);
    if (options.notes.empty()) {
        ShowDialogMessage(hooks, "Enter Notes for this Voltmeter !", MessageIcon::Exclamation);
        return DialogOutcome::StaysOpen;
    }
    options.label = FieldText(choice.label, kVoltmeterLabelChars);
    if (options.label.empty()) {
        ShowDialogMessage(hooks, "Enter a Name for this Voltmeter !", MessageIcon::Exclamation);
        return DialogOutcome::StaysOpen;
    }
    options.view = choice.plainText ? kStandardView : kGraphicalView;

    // The station first, so that the next status reply already uses them.
    LoadedStation& station = session.editableStation();
    if (voltmeter <= kJumperedVoltmeters) {
        options.jumper = choice.jumperInstalled ? kJumperInstalled : kJumperRemoved;
        JumperOf(station, *index) = options.jumper;
    }
    station.notes[*index] = options.notes;
    station.labels[*index] = options.label;
    station.views[*index] = options.view;
    session.editableDisplay().voltmeters[*index].caption = options.label;

    // The row of the station the dialog showed, never another one's.
    SetVoltmeterOptions(stations, station.address, voltmeter, options);
    return DialogOutcome::Closes;
}

}  // namespace varnex
