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

void Session::StartSession() {
    SetSessionText(kConnectingText);
    stationIp_ = TrimRight(std::string_view(seams_.stationListText()).substr(0, kStationIpLength));
    if (!LoadStation(stationIp_)) {
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
    SendCommand(Command::Status);
    if (link_.repliesIgnored()) {
        return;  // the transport ended the session
    }
    SetTimer(kPollTimer, true);
    SetTimer(kPulseTimer, true);
}

void Session::ShowRelayTimerIdle() {
    SetTimer(kTimerButtonTimer, false);
    display_.timerButtonImage = 0;
    display_.timerLabel = kTimerInactiveText;
}

void Session::ResetSession() {
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
    scriptTable_ = ScriptTable{};
    pollPhase_ = 0;
    SetSessionText(kIdleText);
}

void Session::Shutdown() {
    ResetSession();
    link_.StopNetworking();
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
    if (record.timerRunning && scriptTable_[0].name.empty()) {
        SendCommand(Command::RequestScriptTable);
        if (link_.repliesIgnored()) {
            return;  // the send failed and ended the session
        }
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
    if (pollPhase_ == kPollPhaseLast) {
        pollPhase_ = 1;
    }
    SendCommand(Command::Status);
}

void Session::PulseTick() {
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
    stationIp_ = TrimRight(std::string_view(seams_.stationListText()).substr(0, kStationIpLength));
    station_.address = stationIp_;
    display_.autoPingCaption = "Auto Ping  " + stationIp_;
}

void Session::TimerButtonTick() {
    timerIconFrame_ = (timerIconFrame_ + 1) % 4;
    display_.timerButtonImage = timerIconFrame_;
}

}  // namespace varnex
