// One connection to an MQTT broker on libmosquitto's own thread, so name
// resolution, connecting and reconnecting (with back-off) never hold up the
// fleet poller. Publishing only queues; messages that arrive wait in a
// bounded inbox until the poller's thread takes them.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "varnexd/mqtt_config.h"

struct mosquitto;
struct mosquitto_message;

namespace varnex::varnexd {

struct MqttMessage {
    std::string topic;
    std::string payload;
    bool retained = false;
    bool oversized = false;  // the payload was too long to be anything we take; left out
};

class MqttClient {
  public:
    // `will` is published, retained, by the broker when this client goes
    // away uncleanly; `subscriptions` are made again on every connect.
    MqttClient(const MqttConfig& config, std::string willTopic,
               std::vector<std::string> subscriptions);
    ~MqttClient();
    MqttClient(const MqttClient&) = delete;
    MqttClient& operator=(const MqttClient&) = delete;

    // Starts connecting in the background; false with a reason when the
    // settings themselves are unusable (a TLS file that cannot be read).
    bool Start(std::string& error);
    // Counts connections made; a change means everything must be sent again.
    uint64_t Connections() const { return connections_; }
    bool Connected() const { return connected_; }
    // False when not connected: the caller keeps the latest value instead.
    bool Publish(const std::string& topic, const std::string& payload, bool retain);
    std::vector<MqttMessage> TakeMessages();
    uint64_t DroppedMessages() const { return dropped_; }
    // Publishes the last words, waits a bounded time for them to leave, and
    // disconnects cleanly.
    void Stop(const std::vector<std::pair<std::string, std::string>>& lastWords);

  private:
    static void OnConnect(mosquitto* handle, void* self, int code);
    static void OnDisconnect(mosquitto* handle, void* self, int code);
    static void OnMessage(mosquitto* handle, void* self, const mosquitto_message* message);
    static void OnPublish(mosquitto* handle, void* self, int mid);

    MqttConfig config_;
    std::string willTopic_;
    std::vector<std::string> subscriptions_;
    mosquitto* handle_ = nullptr;
    bool started_ = false;
    std::thread starter_;  // makes the first connect, then leaves
    std::atomic<uint64_t> connections_{0};
    std::atomic<bool> connected_{false};
    std::atomic<uint64_t> dropped_{0};
    std::atomic<uint64_t> queued_{0};
    std::atomic<uint64_t> delivered_{0};
    std::mutex inboxMutex_;
    std::deque<MqttMessage> inbox_;
};

}  // namespace varnex::varnexd
