// Where and how varnexd's MQTT bridge talks to a broker: the `mqtt:` section
// of its YAML file, with the options --mqtt.* laid over it. No password
// ever comes from the command line, only from a file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace YAML {
class Node;
}

namespace varnex::varnexd {

struct MqttConfig {
    std::string host;  // empty: no bridge
    uint16_t port = 1883;
    std::string clientId = "varnexd";
    std::string username;
    std::string password;  // read from password_file
    std::string caFile;    // TLS when set
    std::string certFile;  // client certificate, with keyFile
    std::string keyFile;
    std::string prefix = "varnex";
    std::string discoveryPrefix = "homeassistant";
    int keepAliveSeconds = 30;
    int qos = 1;
    bool commands = false;
    bool operator==(const MqttConfig&) const = default;
};

// The options --mqtt.*, each set only when given.
struct MqttOverrides {
    std::optional<std::string> broker;  // HOST:PORT
    std::optional<bool> commands;
    std::optional<std::string> prefix;
    std::optional<std::string> discoveryPrefix;
};

struct MqttConfigResult {
    std::optional<MqttConfig> config;
    std::string error;
};

// `section` may be absent (a null node); `folder` resolves relative files,
// and a relative password file is looked for in `credentialsFolder` first
// (systemd's LoadCredential=), as the units' passwords are.
MqttConfigResult ParseMqttSection(const YAML::Node& section, const std::string& folder,
                                  const std::string& credentialsFolder = "");
// Lays the options over `config`; an error names the bad option.
std::string ApplyMqttOverrides(MqttConfig& config, const MqttOverrides& overrides);

// A topic prefix: one or more levels, none empty, no wildcards or NUL.
bool IsTopicPrefix(const std::string& text);

}  // namespace varnex::varnexd
