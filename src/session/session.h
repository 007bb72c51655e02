// The connection to one station: START, the poll, every reply, and the one
// way a session ends. Owns the transport, the display state, the status
// snapshot, the script table and the current station.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "automation/script_model.h"
#include "platform/platform_hooks.h"
#include "protocol/command_packet.h"
#include "protocol/device_link.h"
#include "protocol/status_record.h"
#include "session/display_state.h"
#include "session/window_timers.h"
#include "stations/loaded_station.h"

namespace varnex {

// Finds the station row with exactly this IP (the database's LoadStation).
int LocalYear();

// The credits rotation's lines 1..4 (status bar part 3).
std::string CreditsLine(int index, int year);

using StationLookup = std::function<std::optional<LoadedStation>(const std::string& ip)>;

struct SessionSeams {
    StationLookup lookupStation = [](const std::string&) { return std::optional<LoadedStation>{}; };
    // The station list's text field as the user sees it.
    std::function<std::string()> stationListText = [] { return std::string{}; };
    // The local year, for the copyright line of the credits.
    std::function<int()> currentYear = LocalYear;
    LinkOptions link{};
};

enum SessionText : int { kIdleText = 0, kConnectingText = 2, kFirstPollText = 3 };

class Session {
  public:
    Session(PlatformHooks& hooks, SessionSeams seams);

    // START: load the station named by the list's text, send "1", start
    // the poll and the pulse.
    void StartSession();
    // Ends any session and returns every readout and control to Idle.
    void ResetSession();
    void SetSessionText(int state);
    // EXIT and closing the window: reset, then close the socket.
    void Shutdown();

    // Looks the station up; when found it becomes the current station and
    // the relay names and "Auto Ping" caption follow it. Not found empties
    // the current station and changes nothing visible.
    bool LoadStation(const std::string& ip);
    // The user settled on a station in the list (starts timer 11).
    void OnStationChosen();

    // The work of main-window timer `id` (1, 2, 3, 11, 12).
    void OnTimer(int id);
    // A read notification of the link's socket; errorCode 0 means none.
    void OnSocketNotification(int errorCode = 0);

    // Dialogs build a command into command() (BuildCommand with
    // station().password) and send it with SendPacket.
    CommandPacket& command() { return link_.command(); }
    bool SendPacket() { return link_.SendPacket(stationIp_); }
    // Builds a command without parameters with the station's password and sends it.
    bool SendCommand(Command command);

    const DisplayState& display() const { return display_; }
    const WindowTimerTable& timers() const { return timers_; }
    const StatusSnapshot& snapshot() const { return snapshot_; }
    const ScriptTable& scriptTable() const { return scriptTable_; }
    // Raised when a script table arrives; lowered by the dialog that uses it.
    bool ScriptTableReceived() const { return scriptTableReceived_; }
    void LowerScriptTableReceived() { scriptTableReceived_ = false; }
    const LoadedStation& station() const { return station_; }
    // The relay and voltmeter dialogs change the station's names, notes,
    // views and jumpers in place, and the captions the main window shows.
    LoadedStation& editableStation() { return station_; }
    DisplayState& editableDisplay() { return display_; }
    const std::string& stationIp() const { return stationIp_; }
    // How many replies with this return code have arrived during the run.
    uint32_t returnCodeCount(uint8_t code) const { return returnCodeCounts_[code]; }
    DeviceLink& link() { return link_; }

    // Told whenever the socket descriptor changes (-1: none).
    void SetSocketChanged(std::function<bool(int fd)> changed) {
        link_.SetSocketChanged(std::move(changed));
    }

  private:
    void ParseReply();
    void ShowStatus();
    void ShowReturnMessage(uint8_t code);
    void PollTick();
    void PulseTick();
    void CreditsTick();
    void StationChoiceTick();
    void TimerButtonTick();
    void ShowRelayTimerIdle();
    void SetTimer(int id, bool running);

    PlatformHooks& hooks_;
    SessionSeams seams_;
    DisplayState display_{};
    DeviceLink link_;
    WindowTimerTable timers_ = kInitialWindowTimers;
    StatusSnapshot snapshot_{};
    ScriptTable scriptTable_{};
    bool scriptTableReceived_ = false;
    std::array<uint32_t, 256> returnCodeCounts_{};
    LoadedStation station_{};
    std::string stationIp_;
    int pollPhase_ = 0;
    bool pulseRising_ = true;
    int timerIconFrame_ = 0;
};

}  // namespace varnex
