#include "varnexd/mqtt_bridge.h"

#include "protocol/status_json.h"

namespace varnex::varnexd {
namespace {

// Discovery is sent a few stations at a time, so a thousand stations do not
// reach the broker and Home Assistant in one burst.
constexpr std::size_t kDiscoveryBatch = 20;
constexpr auto kDiscoveryPause = std::chrono::milliseconds(100);
// A state is sent when a reading moves this far, and at least this often.
constexpr Deadband kDeadband{0.05, 0.5};
constexpr auto kRefresh = std::chrono::seconds(60);
// The stations are looked at this often, not on every pass of the loop
// (hundreds a second with a large fleet): the states found due in one look
// leave together, and the library's thread wakes once for them.
constexpr auto kLookPause = std::chrono::milliseconds(100);

const char* AvailabilityText(bool online) {
    return online ? "online" : "offline";
}

}  // namespace

MqttBridge::MqttBridge(MqttConfig config, Log log)
    : config_(std::move(config)), log_(std::move(log)) {
    std::vector<std::string> subscriptions = {config_.discoveryPrefix + "/status"};
    if (config_.commands) {
        subscriptions.push_back(config_.prefix + "/+/relay/+/set");
    }
    client_ = std::make_unique<MqttClient>(config_, config_.prefix + "/bridge/availability",
                                           std::move(subscriptions));
}

bool MqttBridge::Start(std::string& error) {
    if (config_.commands) {
        commands_ = std::make_unique<fleet::RelayCommands>();
        if (!commands_->Error().empty()) {
            error = "mqtt: " + commands_->Error();
            return false;
        }
    }
    if (!client_->Start(error)) {
        return false;
    }
    log_("varnexd: publishing to mqtt " + config_.host + ":" + std::to_string(config_.port) +
         " under " + config_.prefix + (config_.commands ? ", commands accepted" : ""));
    return true;
}

std::string MqttBridge::StationTopic(const Station& station, const std::string& leaf) const {
    return config_.prefix + "/" + station.topicId + "/" + leaf;
}

void MqttBridge::SetStations(const std::vector<BridgedStation>& stations) {
    std::map<std::string, Station> previous;
    for (Station& station : stations_) {
        previous.emplace(station.topicId, std::move(station));
    }
    stations_.clear();
    byTopicId_.clear();
    for (const BridgedStation& bridged : stations) {
        Station station;
        station.bridged = bridged;
        station.topicId = TopicId(bridged.id);
        if (!byTopicId_.emplace(station.topicId, stations_.size()).second) {
            log_("varnexd: mqtt: " + bridged.id + " has the topic id of another station; it is " +
                 "not published");
            station.topicId.clear();
        } else if (auto found = previous.find(station.topicId); found != previous.end()) {
            station = std::move(found->second);
            station.bridged = bridged;
            previous.erase(found);
        }
        stations_.push_back(std::move(station));
    }
    for (const auto& [topicId, gone] : previous) {
        for (Retained& removal :
             DiscoveryConfigs(config_, {topicId, gone.bridged.name, ""}, false)) {
            removals_.push_back(std::move(removal));
        }
        removals_.emplace_back(StationTopic(gone, "state"), "");
        removals_.emplace_back(StationTopic(gone, "availability"), "");
    }
}

void MqttBridge::OnConnected() {
    // A broker restarted without persistence has lost every retained
    // message: all of it is sent again.
    client_->Publish(config_.prefix + "/bridge/availability", "online", true);
    for (Station& station : stations_) {
        station.published = Availability::Unknown;
        station.publishedReadings.reset();
        station.discovered = false;
    }
    discoveryNext_ = 0;
    lookAt_ = {};
}

void MqttBridge::TakeMessages(const fleet::FleetPoller& poller, fleet::Time now) {
    for (const MqttMessage& message : client_->TakeMessages()) {
        if (message.topic == config_.discoveryPrefix + "/status") {
            if (message.payload == "online") {
                for (Station& station : stations_) {
                    station.discovered = false;
                }
                discoveryNext_ = 0;
            }
        } else if (commands_) {
            TakeCommand(message, poller, now);
        }
    }
}

void MqttBridge::TakeCommand(const MqttMessage& message, const fleet::FleetPoller& poller,
                             fleet::Time now) {
    auto parsed = ParseRelayCommand(config_.prefix, message);
    if (auto* command = std::get_if<MqttRelayCommand>(&parsed)) {
        const auto found = byTopicId_.find(command->topicId);
        if (found == byTopicId_.end() || found->second >= poller.Size() ||
            stations_[found->second].topicId.empty()) {
            parsed = IgnoredReason::UnknownStation;
        } else if (auto busy = commands_->Send(
                       {found->second, command->relay, command->action, command->toggleSeconds},
                       poller, now)) {
            Report(*busy);
        }
    }
    if (const auto* reason = std::get_if<IgnoredReason>(&parsed)) {
        ++figures_.ignoredCommands[static_cast<std::size_t>(*reason)];
    }
}

void MqttBridge::Report(const fleet::SettledCommand& command) {
    ++figures_.commands[static_cast<std::size_t>(command.outcome)];
    const std::string topic = config_.prefix + "/" + TopicId(command.stationId) + "/relay/" +
                              std::to_string(command.request.relay) + "/result";
    const char* outcome = fleet::OutcomeText(command.outcome);
    log_("varnexd: mqtt: " + topic + ": " +
         CommandWords(command.request.action, command.request.toggleSeconds) + " " + outcome +
         " (" + command.why + ")");
    // An event, not a state: a new subscriber must not read an old outcome.
    client_->Publish(topic, outcome, false);
}

void MqttBridge::PublishDiscovery(fleet::Time now) {
    if (now < discoveryAt_) {
        return;
    }
    std::size_t sent = 0;
    while (!removals_.empty() && sent < kDiscoveryBatch) {
        if (!client_->Publish(removals_.front().first, removals_.front().second, true)) {
            return;
        }
        removals_.pop_front();
        ++sent;
    }
    for (; discoveryNext_ < stations_.size() && sent < kDiscoveryBatch; ++discoveryNext_) {
        Station& station = stations_[discoveryNext_];
        if (station.discovered || station.topicId.empty()) {
            continue;
        }
        const std::string name =
            station.bridged.name.empty() ? station.bridged.id : station.bridged.name;
        for (const auto& [topic, payload] :
             DiscoveryConfigs(config_, {station.topicId, name, station.firmware}, true)) {
            if (!client_->Publish(topic, payload, true)) {
                return;
            }
        }
        station.discovered = true;
        ++sent;
    }
    if (sent > 0) {
        discoveryAt_ = now + kDiscoveryPause;
    }
}

void MqttBridge::PublishStation(Station& station, const fleet::StationSetup& setup,
                                const fleet::StationStatus& status, fleet::Time now) {
    const bool online = status.lastValidReply.has_value() && !status.silent;
    const Availability wanted = online ? Availability::Online : Availability::Offline;
    if (station.published != wanted &&
        client_->Publish(StationTopic(station, "availability"), AvailabilityText(online), true)) {
        station.published = wanted;
    }
    if (!status.record || !status.readings) {
        return;
    }
    const bool fresh = status.received != station.seenReceived;
    station.seenReceived = status.received;
    const bool due = !station.publishedReadings || now - station.publishedAt >= kRefresh ||
                     (fresh && MovedPast(*station.publishedReadings, *status.readings, kDeadband));
    if (!due || !client_->Publish(StationTopic(station, "state"),
                                  JsonText(StatusJson(*status.record, setup.jumpers)), true)) {
        return;
    }
    if (station.firmware != status.readings->firmwareText) {
        station.firmware = status.readings->firmwareText;
        station.discovered = false;  // the device shows it
        discoveryNext_ = 0;
    }
    station.publishedReadings = status.readings;
    station.publishedAt = now;
    ++figures_.statesPublished;
}

void MqttBridge::Update(const fleet::FleetPoller& poller, fleet::Time now) {
    if (const uint64_t connections = client_->Connections(); connections != seenConnections_) {
        seenConnections_ = connections;
        figures_.connections = connections;
        OnConnected();
    }
    TakeMessages(poller, now);
    if (commands_) {
        for (const fleet::SettledCommand& command : commands_->Settle(poller, now)) {
            Report(command);
        }
    }
    if (!client_->Connected() || now < lookAt_) {
        return;
    }
    lookAt_ = now + kLookPause;
    const std::size_t count = std::min(poller.Size(), stations_.size());
    for (std::size_t i = 0; i < count; ++i) {
        if (!stations_[i].topicId.empty()) {
            PublishStation(stations_[i], poller.Setup(i), poller.Status(i), now);
        }
    }
    PublishDiscovery(now);
}

void MqttBridge::Stop() {
    std::vector<Retained> lastWords;
    for (const Station& station : stations_) {
        if (!station.topicId.empty()) {
            lastWords.emplace_back(StationTopic(station, "availability"), "offline");
        }
    }
    lastWords.emplace_back(config_.prefix + "/bridge/availability", "offline");
    client_->Stop(lastWords);
}

BridgeFigures MqttBridge::Figures() const {
    BridgeFigures figures = figures_;
    figures.droppedMessages = client_->DroppedMessages();
    figures.connected = client_->Connected();
    return figures;
}

}  // namespace varnex::varnexd
