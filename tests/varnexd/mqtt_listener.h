// A real MQTT client for the bridge's tests (libmosquitto): it subscribes
// to everything on every connect and keeps each topic's latest message, so
// a test waits for what the bridge says, bounded in time.
#pragma once

#include <mosquitto.h>

#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>

namespace varnex::varnexd::testing {

struct Heard {
    std::string payload;
    bool retained = false;
    int count = 0;  // how often this topic was heard
};

struct ListenerSetup {
    uint16_t port = 0;
    std::string username;
    std::string password;
    std::string caFile;  // TLS when set
};

class MqttListener {
  public:
    explicit MqttListener(const ListenerSetup& setup) {
        mosquitto_lib_init();
        handle_ = mosquitto_new(nullptr, true, this);
        if (!setup.username.empty()) {
            mosquitto_username_pw_set(handle_, setup.username.c_str(), setup.password.c_str());
        }
        if (!setup.caFile.empty()) {
            mosquitto_tls_set(handle_, setup.caFile.c_str(), nullptr, nullptr, nullptr, nullptr);
        }
        mosquitto_reconnect_delay_set(handle_, 1, 1, false);
        mosquitto_connect_callback_set(handle_, [](mosquitto* h, void*, int code) {
            if (code == 0) {
                mosquitto_subscribe(h, nullptr, "#", 1);
            }
        });
        mosquitto_message_callback_set(
            handle_, [](mosquitto*, void* self, const mosquitto_message* m) {
                auto* listener = static_cast<MqttListener*>(self);
                std::lock_guard lock(listener->mutex_);
                Heard& heard = listener->heard_[m->topic];
                heard.payload.assign(static_cast<const char*>(m->payload),
                                     static_cast<std::size_t>(m->payloadlen));
                heard.retained = m->retain;
                ++heard.count;
            });
        mosquitto_connect_async(handle_, "127.0.0.1", setup.port, 10);
        mosquitto_loop_start(handle_);
    }
    ~MqttListener() {
        mosquitto_disconnect(handle_);
        mosquitto_loop_stop(handle_, true);
        mosquitto_destroy(handle_);
    }
    MqttListener(const MqttListener&) = delete;
    MqttListener& operator=(const MqttListener&) = delete;

    std::map<std::string, Heard> Topics() {
        std::lock_guard lock(mutex_);
        return heard_;
    }
    void Forget() {
        std::lock_guard lock(mutex_);
        heard_.clear();
    }
    void Publish(const std::string& topic, const std::string& payload, bool retain = false) {
        mosquitto_publish(handle_, nullptr, topic.c_str(), static_cast<int>(payload.size()),
                          payload.data(), 1, retain);
    }
    // Whether `holds` came true of the topics heard within `limit`.
    bool Until(const std::function<bool(const std::map<std::string, Heard>&)>& holds,
               std::chrono::milliseconds limit) {
        const auto end = std::chrono::steady_clock::now() + limit;
        do {
            if (holds(Topics())) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        } while (std::chrono::steady_clock::now() < end);
        return false;
    }

  private:
    mosquitto* handle_ = nullptr;
    std::mutex mutex_;
    std::map<std::string, Heard> heard_;
};

}  // namespace varnex::varnexd::testing
