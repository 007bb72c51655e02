// The connection to one station: START, the poll, every reply, and the one
// way a session ends. Owns the transport, the display state, the status
// snapshot, the script table and the current station.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/platform_hooks.h"
#include "protocol/command_packet.h"
#include "protocol/device_link.h"
#include "protocol/reply_silence.h"
#include "protocol/script_record.h"
#include "protocol/status_record.h"
#include "session/command_line.h"
#include "session/display_state.h"
#include "session/window_timers.h"
#include "stations/loaded_station.h"

namespace varnex {

// The local year, for the copyright line of the credits.
int LocalYear();

// The credits rotation's lines 1..4 (status bar part 3).
std::string CreditsLine(int index, int year);

// Finds the station row with exactly this IP (the database's LoadStation).
using StationLookup = std::function<std::optional<LoadedStation>(const std::string& ip)>;

struct SessionSeams {
    StationLookup lookupStation = [](const std::string&) { return std::optional<LoadedStation>{}; };
    // The station list's text field as the user sees it.
    std::function<std::string()> stationListText = [] { return std::string{}; };
    // The local year, for the copyright line of the credits.
    std::function<int()> currentYear = LocalYear;
    LinkOptions link{};
};

// What a session tells its observer (the history recorder), besides each
// valid status record.
enum class SessionEvent { Started, Stopped, PasswordRefused, Silent, Back };

struct SessionObserver {
    std::function<void(const std::string& ip, const StatusRecord& record,
                       const VoltmeterJumpers& jumpers)>
        statusRecord = [](const std::string&, const StatusRecord&, const VoltmeterJumpers&) {};
    std::function<void(const std::string& ip, SessionEvent event)> event = [](const std::string&,
                                                                              SessionEvent) {};
};

// What start-up leaves to the window.
struct StartUpOutcome {
    bool closes = false;        // the command line ends the program
    bool showsStation = false;  // the list's text field shows the started station's line
};

enum SessionText : int { kIdleText = 0, kConnectingText = 2, kFirstPollText = 3 };

// Why a running session was ended by an action that is about something else;
// the status bar's message part says so instead of the Idle prompt.
inline constexpr const char* kEndedForPasswordText = " MSG: Session ended: password changed";
inline constexpr const char* kEndedForMacText = " MSG: Session ended: MAC address changed";
inline constexpr const char* kEndedForAddressText = " MSG: Session ended: unit address changed";
inline constexpr const char* kEndedForStationListText = " MSG: Session ended: station list changes";
inline constexpr const char* kEndedForRouteText = " MSG: Session ended: adding a route";
inline constexpr const char* kEndedForStationChoiceText =
    " MSG: Session ended: another station chosen";

// The message part while the unit is silent, e.g. " MSG: No reply for 12 s".
std::string NoReplyText(uint32_t seconds);

class Session {
  public:
    Session(PlatformHooks& hooks, SessionSeams seams);

    // START: load the station named by the list's text, send "1", start
    // the poll and the pulse.
    void StartSession();
    // Start-up, once the station list is filled, acts on the command line:
    // without an argument the station the list names becomes the current
    // station, so that its dialogs store into its row.
    StartUpOutcome StartUp(const StartUpCommand& command);
    // Ends any session and returns every readout and control to Idle; the
    // window is told before this returns, so no poll or pulse timer runs on
    // behind a box or dialog that follows. A reason replaces the Idle prompt
    // when a session was running.
    void ResetSession(const char* reason = nullptr);
    void SetSessionText(int state);
    // EXIT and closing the window: reset, then close the socket.
    void Shutdown();

    // Makes `ip` the station IP and looks the station up; when found it
    // becomes the current station and the relay names and "Auto Ping"
    // caption follow it. Not found empties the current station and changes
    // nothing visible.
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

    // Told at the end of every reset, synchronously.
    void SetSessionReset(std::function<void()> reset) { sessionReset_ = std::move(reset); }
    // The unit has not answered the last kSilentAfterPolls polls.
    bool UnitSilent() const { return silence_.Silent(); }

    // Told of every valid status record and of the session's events, in order.
    void SetObserver(SessionObserver observer) { observer_ = std::move(observer); }

    // Told whenever the socket descriptor changes (-1: none).
    void SetSocketChanged(std::function<bool(int fd)> changed) {
        link_.SetSocketChanged(std::move(changed));
    }

  private:
    void StartStation(const std::string& ip);
    std::string ListedAddress() const;
    bool PollRunning() const;
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
    void SendPoll();
    void ShowSilence();

    PlatformHooks& hooks_;
    SessionSeams seams_;
    DisplayState display_{};
    DeviceLink link_;
    WindowTimerTable timers_ = kInitialWindowTimers;
    StatusSnapshot snapshot_{};
    ScriptTable scriptTable_{};
    bool scriptTableReceived_ = false;
    // "L" goes out at most once a poll period, whatever the unit answers it with.
    bool scriptTableAsked_ = false;
    ReplySilence silence_;
    std::function<void()> sessionReset_ = [] {};
    SessionObserver observer_;
    std::array<uint32_t, 256> returnCodeCounts_{};
    LoadedStation station_{};
    std::string stationIp_;
    int pollPhase_ = 0;
    std::string pollText_;  // the poll animation's text, shown again when the unit answers
    bool pulseRising_ = true;
    int timerIconFrame_ = 0;
};

}  // namespace varnex
