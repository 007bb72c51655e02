#include "session/session.h"

#include <ctime>

#include "protocol/reply_kind.h"
#include "session/command_line.h"
#include "session/status_display.h"
#include "stations/station_message.h"
#include "text/conversions.h"

namespace varnex {
namespace {

constexpr std::size_t kStationIpLength = 15;
constexpr int kPollPhaseLast = 13;
constexpr int kCreditsLines = 4;

}  // namespace

int LocalYear() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local.tm_year + 1900;
}

std::string CreditsLine(int index, int year) {
    switch (index) {
        case 1:
            return "               Varnex v1";
        case 2:
            return "Copyright (c) " + std::to_string(year) + " Varnex developers";
        case 3:
            return "varnex.example";
        default:
            return "Every reading at once";
    }
}

std::string NoReplyText(uint32_t seconds) {
    return " MSG: No reply for " + std::to_string(seconds) + " s";
}

Session::Session(PlatformHooks& hooks, SessionSeams seams)
    : hooks_(hooks), seams_(std::move(seams)), link_(hooks, display_.counters, seams_.link) {
    link_.SetResetSession([this] { ResetSession(); });
}

void Session::SetTimer(int id, bool running) {
    for (auto& timer : timers_) {
        if (timer.id == id) {
            timer.running = running;
        }
    }
}

void Session::SetSessionText(int state) {
    switch (state) {
        case kIdleText:
            display_.statusBar[1] = " Not Connected";
            display_.statusBar[2] = " MSG:  Choose IP, then Click on Start";
            break;
        case kConnectingText:
            display_.statusBar[1] = " Connecting";
            display_.statusBar[2] = " Sending Password";
            break;
        case kFirstPollText:
            display_.statusBar[1] = " Connected";
            display_.statusBar[2] = " MSG: Data Polling Started";
            break;
        default:
            break;
    }
}

bool Session::LoadStation(const std::string& ip) {
    stationIp_ = ip;
    std::optional<LoadedStation> found = seams_.lookupStation(ip);
    if (!found) {
        station_ = LoadedStation{};
        return false;
    }
    station_ = std::move(*found);
    display_.relayNames = station_.relayNames;
    display_.autoPingCaption = "Auto Ping  " + ip;
    return true;
}

std::string Session::ListedAddress() const {
    return TrimRight(std::string_view(seams_.stationListText()).substr(0, kStationIpLength));
}

bool Session::PollRunning() const {
    for (const WindowTimer& timer : timers_) {
        if (timer.id == kPollTimer) {
            return timer.running;
        }
    }
    return false;
}

StartUpOutcome Session::StartUp(const StartUpCommand& command) {
    const auto stop = [this](const char* text) {
        hooks_.showMessage({MessageOwner::MainWindow, text, "", MessageIcon::Stop});
    };
    switch (command.request) {
        case StartUpRequest::CommandLineTooLong:
            stop(kCommandLineTooLongText);
            return {.closes = true};
        case StartUpRequest::InvalidAddress:
            stop(kInvalidAddressText);
            return {};
        case StartUpRequest::MismatchedQuotes:
            stop(kMismatchedQuotesText);
            return {};
        case StartUpRequest::StartStation:
            if (LoadStation(command.address)) {
                StartStation(command.address);
                return {.showsStation = true};
            }
            break;
        case StartUpRequest::LoadDefaultStation:
            if (LoadStation(ListedAddress())) {
                return {};
            }
            break;
    }
    ResetSession();
    hooks_.showMessage({MessageOwner::MainWindow, kStationNotFoundText,
                        std::string(kStationCaption), MessageIcon::Stop});
    return {};
}

void Session::StartSession() {
    StartStation(ListedAddress());
}

void Session::StartStation(const std::string& ip) {
    SetSessionText(kConnectingText);
    if (!LoadStation(ip)) {
        ResetSession();
        hooks_.showMessage({MessageOwner::MainWindow, kStationNotFoundText,
                            std::string(kStationCaption), MessageIcon::Stop});
        return;
    }
    display_.enabled.start = false;
    for (std::size_t n = 0; n < display_.voltmeters.size(); ++n) {
        display_.voltmeters[n].caption = station_.labels[n];
    }
    link_.SetRememberedLost(1);
    link_.StartNetworking();
    SeedRandom(link_.random(), hooks_.tickCount());
    link_.SetRepliesIgnored(false);
    silence_.Restart(hooks_.tickCount());
    scriptTableAsked_ = false;
    SendPoll();
    if (link_.repliesIgnored()) {
        return;  // the transport ended the session
    }
    SetTimer(kPollTimer, true);
    SetTimer(kPulseTimer, true);
    observer_.event(stationIp_, SessionEvent::Started);
}

void Session::ShowRelayTimerIdle() {
    SetTimer(kTimerButtonTimer, false);
    display_.timerButtonImage = 0;
    display_.timerLabel = kTimerInactiveText;
}

void Session::ResetSession(const char* reason) {
    const bool wasRunning = !display_.enabled.start;
    SetTimer(kPollTimer, false);
    SetTimer(kPulseTimer, false);
    SetTimer(kTimerButtonTimer, false);
    display_.timerButtonImage = 0;
    display_.pulseStep = 0;
    link_.SetRepliesIgnored(true);

    for (auto& voltmeter : display_.voltmeters) {
        voltmeter.valueText = " ";
    }
    display_.stationName = display_.fahrenheit = display_.celsius = display_.macAddress = " ";
    display_.relayStates.fill(kRelayStateUnknownText);
    display_.counters = PacketCounters{};

    const ControlsEnabled idle{};
    display_.enabled = idle;
    display_.pins.fill("0");

    display_.timerLabel = kTimerInactiveText;
    display_.timerDays = display_.timerHours = display_.timerMinutes = display_.timerSeconds = "0";

    for (auto& voltmeter : display_.voltmeters) {
        voltmeter.barPosition = 0;
        voltmeter.barVisible = false;
        voltmeter.barLabelVisible = false;
        voltmeter.valueVisible = true;
    }
    display_.firmwareVersion = kFirmwareUnknownText;
    display_.readingsStale = false;
    display_.readingsTitle = kReadingsTitle;
    scriptTable_ = ScriptTable{};
    scriptTableAsked_ = false;
    pollPhase_ = 0;
    SetSessionText(kIdleText);
    if (reason != nullptr && wasRunning) {
        display_.statusBar[2] = reason;
    }
    if (wasRunning) {
        observer_.event(stationIp_, SessionEvent::Stopped);
    }
    sessionReset_();
}

void Session::Shutdown() {
    ResetSession();
    link_.StopNetworking();
}

void Session::SendPoll() {
    silence_.PollSent();
    SendCommand(Command::Status);
}

bool Session::SendCommand(Command command) {
    BuildCommand(link_.command(), command, station_.password);
    return SendPacket();
}

void Session::OnSocketNotification(int errorCode) {
    if (link_.OnSocketNotification(errorCode) == ReadResult::Received) {
        ParseReply();
    }
}

void Session::ParseReply() {
    const ReplyBuffer& reply = link_.reply();
    switch (ClassifyReply(reply)) {
        case ReplyKind::PasswordRefused:
            observer_.event(stationIp_, SessionEvent::PasswordRefused);
            ResetSession();
            hooks_.showMessage({MessageOwner::MainWindow, "Bad Password!!", "", MessageIcon::Stop});
            return;
        case ReplyKind::ScriptTable:
            StoreScriptTable(scriptTable_, reply);
            scriptTableReceived_ = true;
            return;
        case ReplyKind::ReturnMessage:
            ShowReturnMessage(reply[wire::kReplyTypeOffset]);
            return;
        case ReplyKind::Status:
            ShowStatus();
            return;
    }
}

void Session::ShowReturnMessage(uint8_t code) {
    ++returnCodeCounts_[code];
    hooks_.showReturnMessage(code, std::string(ReturnMessageText(code).value_or("")));
    if (code == kTimerStoppedCode) {
        ShowRelayTimerIdle();
        display_.timerDays = display_.timerHours = display_.timerMinutes = display_.timerSeconds =
            "0";
    }
}

void Session::ShowStatus() {
    // The table request goes out first: if its send ends the session there
    // is nothing left to show.
    const StatusRecord record = DecodeStatusRecord(link_.reply());
    if (record.timerRunning && scriptTable_[0].name.empty() && !scriptTableAsked_) {
        scriptTableAsked_ = true;
        SendCommand(Command::RequestScriptTable);
        if (link_.repliesIgnored()) {
            return;  // the send failed and ended the session
        }
    }
    // A short or malformed record is shown as ever, but proves nothing
    // about the unit being there.
    if (IsValidStatusRecord(record, link_.lastReplySize())) {
        silence_.StatusReceived(hooks_.tickCount());
        if (display_.readingsStale) {
            display_.readingsStale = false;
            display_.readingsTitle = kReadingsTitle;
            display_.statusBar[2] = pollText_;
            observer_.event(stationIp_, SessionEvent::Back);
        }
        observer_.statusRecord(stationIp_, record, JumpersOf(station_));
    }
    ShowStatusReadouts(display_, record, station_);
    UpdateSnapshot(snapshot_, record);
    if (record.timerRunning) {
        SetTimer(kTimerButtonTimer, true);
        ShowRunningRelayTimer(display_, record, scriptTable_);
    } else {
        ShowRelayTimerIdle();
    }
}

void Session::OnTimer(int id) {
    switch (id) {
        case kCreditsTimer:
            CreditsTick();
            break;
        case kPollTimer:
            PollTick();
            break;
        case kPulseTimer:
            PulseTick();
            break;
        case kStationChoiceTimer:
            StationChoiceTick();
            break;
        case kTimerButtonTimer:
            TimerButtonTick();
            break;
        default:
            break;
    }
}

void Session::OnStationChosen() {
    SetTimer(kStationChoiceTimer, true);
}

void Session::PollTick() {
    ++pollPhase_;
    if (pollPhase_ == 1) {
        SetSessionText(kFirstPollText);
    } else {
        display_.statusBar[2] =
            " MSG: Data Polling " + std::string(static_cast<std::size_t>(pollPhase_ - 1), '.');
    }
    pollText_ = display_.statusBar[2];
    if (pollPhase_ == kPollPhaseLast) {
        pollPhase_ = 1;
    }
    scriptTableAsked_ = false;
    SendPoll();
    if (!link_.repliesIgnored() && silence_.Silent()) {
        ShowSilence();
    }
}

// Polling and the counters go on; only what the window claims changes.
void Session::ShowSilence() {
    if (!display_.readingsStale) {
        observer_.event(stationIp_, SessionEvent::Silent);
    }
    display_.statusBar[2] = NoReplyText(silence_.SecondsSinceStatus(hooks_.tickCount()));
    display_.readingsStale = true;
    display_.readingsTitle = kStaleReadingsTitle;
    display_.pulseStep = 0;
}

void Session::PulseTick() {
    if (silence_.Silent()) {
        return;  // a silent unit's indicator stays dark
    }
    int& step = display_.pulseStep;
    if (pulseRising_) {
        if (step >= kPulseStepMax) {
            pulseRising_ = false;
        } else {
            ++step;
        }
    } else if (step < 2) {
        pulseRising_ = true;
    } else {
        --step;
    }
}

void Session::CreditsTick() {
    int& index = display_.creditsIndex;
    ++index;
    display_.statusBar[3] = CreditsLine(index, seams_.currentYear());
    if (index == kCreditsLines) {
        index = 0;
    }
}

void Session::StationChoiceTick() {
    SetTimer(kStationChoiceTimer, false);
    const std::string chosen = ListedAddress();
    // One unit polled while its dialogs show and store another station's
    // row would mix the two stations.
    if (PollRunning() && chosen != stationIp_) {
        ResetSession(kEndedForStationChoiceText);
    }
    // The chosen station is loaded, so that its dialogs show and store its
    // own row; an address that is not stored is still the one Auto Ping uses.
    if (!LoadStation(chosen)) {
        station_.address = chosen;
    }
    display_.autoPingCaption = "Auto Ping  " + chosen;
}

void Session::TimerButtonTick() {
    timerIconFrame_ = (timerIconFrame_ + 1) % 4;
    display_.timerButtonImage = timerIconFrame_;
}

}  // namespace varnex
