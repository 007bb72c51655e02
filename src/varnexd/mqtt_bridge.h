// Publishes the fleet to an MQTT broker: per station its JSON status
// (retained, when a reading moves past the deadband or once a refresh
// interval), its availability by the shared silence rule, and Home
// Assistant's discovery; when commands are on, it switches relays asked for
// on PREFIX/ID/relay/N/set and says how it went on PREFIX/ID/relay/N/result.
// Runs in the poller's thread and only reads the poller (commands leave
// from sockets of their own); the connection lives on the client's own
// thread. Nothing is
// queued while disconnected: on every connect the latest of everything is
// sent again, so memory stays bounded by the number of stations.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "fleet/fleet_poller.h"
#include "fleet/relay_commands.h"
#include "varnexd/fleet_exposition.h"
#include "varnexd/mqtt_client.h"
#include "varnexd/mqtt_command.h"
#include "varnexd/mqtt_config.h"
#include "varnexd/mqtt_discovery.h"
#include "varnexd/reading_deadband.h"

namespace varnex::varnexd {

struct BridgedStation {
    std::string id;  // the configured id
    std::string name;
};

class MqttBridge {
  public:
    using Log = std::function<void(const std::string&)>;

    MqttBridge(MqttConfig config, Log log);
    bool Start(std::string& error);
    const MqttConfig& Config() const { return config_; }
    // Stations in the poller's order; those gone since the last call have
    // their discovery removed.
    void SetStations(const std::vector<BridgedStation>& stations);
    void Update(const fleet::FleetPoller& poller, fleet::Time now);
    // Where replies to relay commands arrive (-1 without commands); when it
    // is readable, call OnCommandReply.
    int CommandDescriptor() const { return commands_ ? commands_->Descriptor() : -1; }
    void OnCommandReply() { commands_->OnReadable(); }
    // Every station and the bridge go offline, then the connection closes.
    void Stop();
    BridgeFigures Figures() const;

  private:
    enum class Availability { Unknown, Online, Offline };
    struct Station {
        BridgedStation bridged;
        std::string topicId;
        Availability published = Availability::Unknown;
        std::optional<Readings> publishedReadings;
        std::string firmware;  // shown on the device; kept over reconnects
        fleet::Time publishedAt{};
        uint64_t seenReceived = 0;
        bool discovered = false;
    };

    std::string StationTopic(const Station& station, const std::string& leaf) const;
    void OnConnected();
    void TakeMessages(const fleet::FleetPoller& poller, fleet::Time now);
    void TakeCommand(const MqttMessage& message, const fleet::FleetPoller& poller, fleet::Time now);
    void Report(const fleet::SettledCommand& command);
    void PublishDiscovery(fleet::Time now);
    void PublishStation(Station& station, const fleet::StationSetup& setup,
                        const fleet::StationStatus& status, fleet::Time now);

    MqttConfig config_;
    Log log_;
    std::unique_ptr<MqttClient> client_;
    std::vector<Station> stations_;
    std::unordered_map<std::string, std::size_t> byTopicId_;
    std::unique_ptr<fleet::RelayCommands> commands_;  // when commands are on
    std::deque<Retained> removals_;                   // empty configurations still to send
    uint64_t seenConnections_ = 0;
    std::size_t discoveryNext_ = 0;  // the next station whose discovery is due
    fleet::Time discoveryAt_{};
    fleet::Time lookAt_{};  // when the stations are looked at next
    BridgeFigures figures_;
};

}  // namespace varnex::varnexd
