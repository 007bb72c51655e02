#include "varnexd/mqtt_client.h"

#include <mosquitto.h>

#include <chrono>
#include <thread>

namespace varnex::varnexd {
namespace {

// Messages waiting for the poller's thread; more are dropped and counted,
// so a flood on a subscribed topic cannot grow varnexd without end.
constexpr std::size_t kInboxLimit = 1024;
// Payloads longer than any command or announcement are left unread.
constexpr int kLongestPayload = 256;
constexpr unsigned kFirstRetrySeconds = 1;
constexpr unsigned kLongestRetrySeconds = 60;
constexpr auto kLastWordsWait = std::chrono::seconds(2);

struct LibraryUse {
    LibraryUse() { mosquitto_lib_init(); }
};

}  // namespace

MqttClient::MqttClient(const MqttConfig& config, std::string willTopic,
                       std::vector<std::string> subscriptions)
    : config_(config), willTopic_(std::move(willTopic)), subscriptions_(std::move(subscriptions)) {
    static const LibraryUse library;
    // A clean session: commands sent while varnexd was away are not kept
    // for it by the broker, and fire never later.
    handle_ = mosquitto_new(config_.clientId.c_str(), true, this);
}

MqttClient::~MqttClient() {
    if (starter_.joinable()) {
        starter_.join();
    }
    if (handle_ != nullptr) {
        if (started_) {
            mosquitto_disconnect(handle_);
            mosquitto_loop_stop(handle_, true);
        }
        mosquitto_destroy(handle_);
    }
}

bool MqttClient::Start(std::string& error) {
    if (handle_ == nullptr) {
        error = "mqtt: cannot create a client";
        return false;
    }
    mosquitto_int_option(handle_, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
    if (!config_.username.empty() &&
        mosquitto_username_pw_set(handle_, config_.username.c_str(),
                                  config_.password.empty() ? nullptr : config_.password.c_str()) !=
            MOSQ_ERR_SUCCESS) {
        error = "mqtt: the username is not usable";
        return false;
    }
    if (!config_.caFile.empty() &&
        mosquitto_tls_set(handle_, config_.caFile.c_str(), nullptr,
                          config_.certFile.empty() ? nullptr : config_.certFile.c_str(),
                          config_.keyFile.empty() ? nullptr : config_.keyFile.c_str(),
                          nullptr) != MOSQ_ERR_SUCCESS) {
        error = "mqtt: the TLS files cannot be read: " + config_.caFile;
        return false;
    }
    const std::string offline = "offline";
    mosquitto_will_set(handle_, willTopic_.c_str(), static_cast<int>(offline.size()),
                       offline.data(), config_.qos, true);
    mosquitto_reconnect_delay_set(handle_, kFirstRetrySeconds, kLongestRetrySeconds, true);
    mosquitto_connect_callback_set(handle_, &MqttClient::OnConnect);
    mosquitto_disconnect_callback_set(handle_, &MqttClient::OnDisconnect);
    mosquitto_message_callback_set(handle_, &MqttClient::OnMessage);
    mosquitto_publish_callback_set(handle_, &MqttClient::OnPublish);
    // The first connect resolves the name in the calling thread, so a
    // starter thread of its own makes it; the library's thread then keeps
    // the connection and tries again with back-off when it fails.
    started_ = true;
    starter_ = std::thread([this] {
        mosquitto_connect_async(handle_, config_.host.c_str(), config_.port,
                                config_.keepAliveSeconds);
        mosquitto_loop_start(handle_);
    });
    return true;
}

void MqttClient::OnConnect(mosquitto* handle, void* self, int code) {
    auto* client = static_cast<MqttClient*>(self);
    if (code != 0) {
        return;  // refused; the library tries again
    }
    for (const std::string& topic : client->subscriptions_) {
        mosquitto_subscribe(handle, nullptr, topic.c_str(), client->config_.qos);
    }
    client->connected_ = true;
    ++client->connections_;
}

void MqttClient::OnDisconnect(mosquitto* /*handle*/, void* self, int /*code*/) {
    static_cast<MqttClient*>(self)->connected_ = false;
}

void MqttClient::OnMessage(mosquitto* /*handle*/, void* self, const mosquitto_message* message) {
    auto* client = static_cast<MqttClient*>(self);
    std::lock_guard lock(client->inboxMutex_);
    if (client->inbox_.size() >= kInboxLimit) {
        ++client->dropped_;
        return;
    }
    const bool oversized = message->payloadlen > kLongestPayload;
    client->inbox_.push_back({message->topic,
                              oversized
                                  ? std::string()
                                  : std::string(static_cast<const char*>(message->payload),
                                                static_cast<std::size_t>(message->payloadlen)),
                              message->retain, oversized});
}

void MqttClient::OnPublish(mosquitto* /*handle*/, void* self, int /*mid*/) {
    ++static_cast<MqttClient*>(self)->delivered_;
}

bool MqttClient::Publish(const std::string& topic, const std::string& payload, bool retain) {
    if (!connected_) {
        return false;
    }
    const int result =
        mosquitto_publish(handle_, nullptr, topic.c_str(), static_cast<int>(payload.size()),
                          payload.data(), config_.qos, retain);
    if (result != MOSQ_ERR_SUCCESS) {
        return false;
    }
    ++queued_;
    return true;
}

std::vector<MqttMessage> MqttClient::TakeMessages() {
    std::lock_guard lock(inboxMutex_);
    std::vector<MqttMessage> taken(std::make_move_iterator(inbox_.begin()),
                                   std::make_move_iterator(inbox_.end()));
    inbox_.clear();
    return taken;
}

void MqttClient::Stop(const std::vector<std::pair<std::string, std::string>>& lastWords) {
    if (!started_) {
        return;
    }
    if (starter_.joinable()) {
        starter_.join();
    }
    for (const auto& [topic, payload] : lastWords) {
        Publish(topic, payload, true);
    }
    const auto until = std::chrono::steady_clock::now() + kLastWordsWait;
    while (connected_ && delivered_ < queued_ && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    mosquitto_disconnect(handle_);
    mosquitto_loop_stop(handle_, false);
    started_ = false;
}

}  // namespace varnex::varnexd
