#include "varnexd/mqtt_config.h"

#include <yaml-cpp/yaml.h>

#include <charconv>
#include <fstream>

namespace varnex::varnexd {
namespace {

struct SectionError {
    std::string text;
};

std::string Text(const YAML::Node& node, const std::string& key) {
    if (!node.IsScalar()) {
        throw SectionError{"mqtt." + key + " must be a single value"};
    }
    return node.Scalar();
}

int Number(const YAML::Node& node, const std::string& key, int low, int high) {
    const std::string text = Text(node, key);
    int value = 0;
    const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (failure != std::errc() || end != text.data() + text.size() || value < low || value > high) {
        throw SectionError{"mqtt." + key + " must be " + std::to_string(low) + " to " +
                           std::to_string(high)};
    }
    return value;
}

std::string FilePath(const std::string& file, const std::string& folder) {
    return !file.empty() && file[0] == '/' ? file : folder + "/" + file;
}

// "host:port", "host" (port 1883), "[v6]:port".
std::string SetBroker(MqttConfig& config, const std::string& broker) {
    std::string host = broker;
    std::string port;
    if (const auto colon = broker.rfind(':');
        colon != std::string::npos && broker.find(']', colon) == std::string::npos) {
        host = broker.substr(0, colon);
        port = broker.substr(colon + 1);
    }
    if (host.size() > 2 && host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2);
    }
    if (host.empty()) {
        return "the broker needs a host: " + broker;
    }
    if (!port.empty()) {
        unsigned value = 0;
        const auto [end, failure] = std::from_chars(port.data(), port.data() + port.size(), value);
        if (failure != std::errc() || end != port.data() + port.size() || value == 0 ||
            value > 65535) {
            return "the broker's port must be 1 to 65535: " + broker;
        }
        config.port = static_cast<uint16_t>(value);
    }
    config.host = host;
    return "";
}

void SetPrefix(std::string& target, const std::string& value, const std::string& key) {
    if (!IsTopicPrefix(value)) {
        throw SectionError{"mqtt." + key + " must be topic levels without + # or empty levels"};
    }
    target = value;
}

}  // namespace

bool IsTopicPrefix(const std::string& text) {
    if (text.empty() || text.size() > 200 || text.front() == '/' || text.back() == '/' ||
        text.find("//") != std::string::npos) {
        return false;
    }
    for (const char c : text) {
        if (c == '+' || c == '#' || c == '\0' || static_cast<unsigned char>(c) < 0x20) {
            return false;
        }
    }
    return true;
}

MqttConfigResult ParseMqttSection(const YAML::Node& section, const std::string& folder,
                                  const std::string& credentialsFolder) {
    MqttConfig config;
    if (!section || section.IsNull()) {
        return {config, ""};
    }
    try {
        if (!section.IsMap()) {
            throw SectionError{"mqtt must be a mapping"};
        }
        if (section["broker"]) {
            if (std::string error = SetBroker(config, Text(section["broker"], "broker"));
                !error.empty()) {
                throw SectionError{"mqtt.broker: " + error};
            }
        }
        if (section["client_id"]) {
            config.clientId = Text(section["client_id"], "client_id");
        }
        if (section["username"]) {
            config.username = Text(section["username"], "username");
        }
        if (section["password_file"]) {
            const std::string file = Text(section["password_file"], "password_file");
            std::ifstream stream;
            if (!credentialsFolder.empty() && !file.empty() && file[0] != '/') {
                stream.open(credentialsFolder + "/" + file);
            }
            if (!stream.is_open()) {
                stream.open(FilePath(file, folder));
            }
            if (!stream || !std::getline(stream, config.password)) {
                throw SectionError{"mqtt: cannot read the password file " + file};
            }
            if (!config.password.empty() && config.password.back() == '\r') {
                config.password.pop_back();
            }
        }
        if (section["tls"]) {
            const YAML::Node tls = section["tls"];
            if (!tls.IsMap() || !tls["ca_file"]) {
                throw SectionError{"mqtt.tls needs a ca_file"};
            }
            config.caFile = FilePath(Text(tls["ca_file"], "tls.ca_file"), folder);
            if (tls["cert_file"].IsDefined() != tls["key_file"].IsDefined()) {
                throw SectionError{"mqtt.tls needs both cert_file and key_file, or neither"};
            }
            if (tls["cert_file"]) {
                config.certFile = FilePath(Text(tls["cert_file"], "tls.cert_file"), folder);
                config.keyFile = FilePath(Text(tls["key_file"], "tls.key_file"), folder);
            }
        }
        if (section["prefix"]) {
            SetPrefix(config.prefix, Text(section["prefix"], "prefix"), "prefix");
        }
        if (section["discovery_prefix"]) {
            SetPrefix(config.discoveryPrefix, Text(section["discovery_prefix"], "discovery_prefix"),
                      "discovery_prefix");
        }
        if (section["keepalive"]) {
            config.keepAliveSeconds = Number(section["keepalive"], "keepalive", 5, 3600);
        }
        if (section["qos"]) {
            config.qos = Number(section["qos"], "qos", 0, 1);
        }
        if (section["commands"]) {
            const std::string commands = Text(section["commands"], "commands");
            if (commands != "true" && commands != "false") {
                throw SectionError{"mqtt.commands must be true or false"};
            }
            config.commands = commands == "true";
        }
        return {config, ""};
    } catch (const SectionError& error) {
        return {std::nullopt, error.text};
    }
}

std::string ApplyMqttOverrides(MqttConfig& config, const MqttOverrides& overrides) {
    if (overrides.broker) {
        if (std::string error = SetBroker(config, *overrides.broker); !error.empty()) {
            return "--mqtt.broker: " + error;
        }
    }
    if (overrides.commands) {
        config.commands = *overrides.commands;
    }
    if (overrides.prefix) {
        if (!IsTopicPrefix(*overrides.prefix)) {
            return "--mqtt.prefix must be topic levels without + # or empty levels";
        }
        config.prefix = *overrides.prefix;
    }
    if (overrides.discoveryPrefix) {
        if (!IsTopicPrefix(*overrides.discoveryPrefix)) {
            return "--mqtt.discovery-prefix must be topic levels without + # or empty levels";
        }
        config.discoveryPrefix = *overrides.discoveryPrefix;
    }
    return "";
}

}  // namespace varnex::varnexd
