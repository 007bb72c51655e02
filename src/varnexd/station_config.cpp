#include "varnexd/station_config.h"

#include <yaml-cpp/yaml.h>

#include <charconv>
#include <cmath>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "text/conversions.h"

namespace varnex::varnexd {
namespace {

// Labels varnexd sets itself, and Prometheus's own.
const std::set<std::string> kReservedLabels = {"station", "voltmeter", "relay", "pin", "name",
                                               "mac",     "firmware",  "le",    "job", "instance"};

struct ConfigError {
    std::string text;
};

std::string Text(const YAML::Node& node, const std::string& where) {
    if (!node.IsScalar()) {
        throw ConfigError{where + " must be a single value"};
    }
    return node.Scalar();
}

std::chrono::milliseconds Duration(const YAML::Node& node, const std::string& where,
                                   std::chrono::milliseconds fallback) {
    if (!node) {
        return fallback;
    }
    const auto duration = ParseDuration(Text(node, where));
    if (!duration) {
        throw ConfigError{where + " is no duration such as 500ms, 1s or 2m"};
    }
    return *duration;
}

std::string ReadPassword(const std::string& file, const std::string& folder,
                         const ConfigDefaults& defaults, const std::string& where) {
    std::vector<std::string> candidates;
    if (!file.empty() && file[0] == '/') {
        candidates.push_back(file);
    } else {
        if (!defaults.credentialsFolder.empty()) {
            candidates.push_back(defaults.credentialsFolder + "/" + file);
        }
        candidates.push_back(folder + "/" + file);
    }
    for (const std::string& path : candidates) {
        std::ifstream stream(path);
        std::string password;
        if (stream && std::getline(stream, password)) {
            if (!password.empty() && password.back() == '\r') {
                password.pop_back();
            }
            return password;
        }
    }
    // The path is named, never the content.
    throw ConfigError{where + ": cannot read the password file " + file};
}

bool Jumper(const YAML::Node& jumpers, const char* key, const std::string& where) {
    if (!jumpers || !jumpers[key]) {
        return true;  // installed, as units leave the factory
    }
    const std::string value = Text(jumpers[key], where + "." + key);
    if (value != "installed" && value != "removed") {
        throw ConfigError{where + "." + key + " must be installed or removed"};
    }
    return value == "installed";
}

WatchedStation Station(const YAML::Node& node, std::size_t index, const std::string& folder,
                       const ConfigDefaults& defaults, std::chrono::milliseconds interval) {
    const std::string where = "stations[" + std::to_string(index) + "]";
    if (!node.IsMap()) {
        throw ConfigError{where + " must be a mapping"};
    }
    WatchedStation station;
    fleet::StationSetup& setup = station.setup;
    if (!node["id"]) {
        throw ConfigError{where + " needs an id"};
    }
    setup.id = Text(node["id"], where + ".id");
    static const std::regex kId("[A-Za-z0-9_.:-]{1,64}");
    if (!std::regex_match(setup.id, kId)) {
        throw ConfigError{where + ".id must be 1 to 64 letters, digits or _ . : -"};
    }
    const auto address = node["address"]
                             ? ParseDottedAddress(Text(node["address"], where + ".address"))
                             : std::nullopt;
    if (!address) {
        throw ConfigError{where + " (" + setup.id + ") needs an IPv4 address"};
    }
    setup.address = *address;
    setup.port = defaults.port;
    if (node["port"]) {
        const std::string port = Text(node["port"], where + ".port");
        unsigned value = 0;
        const auto [end, failure] = std::from_chars(port.data(), port.data() + port.size(), value);
        if (failure != std::errc() || end != port.data() + port.size() || value == 0 ||
            value > 65535) {
            throw ConfigError{where + ".port must be 1 to 65535"};
        }
        setup.port = static_cast<uint16_t>(value);
    }
    if (!node["password_file"]) {
        throw ConfigError{where + " (" + setup.id + ") needs a password_file"};
    }
    setup.password = ReadPassword(Text(node["password_file"], where + ".password_file"), folder,
                                  defaults, where);
    setup.jumpers = {Jumper(node["jumpers"], "voltmeter1", where + ".jumpers"),
                     Jumper(node["jumpers"], "voltmeter2", where + ".jumpers")};
    setup.interval = Duration(node["interval"], where + ".interval", interval);
    setup.timeout = std::min(defaults.timeout, setup.interval);
    setup.retries = defaults.retries;
    if (node["name"]) {
        station.name = Text(node["name"], where + ".name");
    }
    if (const YAML::Node labels = node["labels"]) {
        if (!labels.IsMap()) {
            throw ConfigError{where + ".labels must be a mapping"};
        }
        static const std::regex kLabel("[a-zA-Z_][a-zA-Z0-9_]*");
        for (const auto& label : labels) {
            const std::string key = label.first.as<std::string>();
            if (!std::regex_match(key, kLabel) || key.rfind("__", 0) == 0 ||
                kReservedLabels.count(key) != 0) {
                throw ConfigError{where + ".labels: " + key + " cannot be a label name"};
            }
            station.labels[key] = Text(label.second, where + ".labels." + key);
        }
    }
    return station;
}

}  // namespace

std::optional<std::chrono::milliseconds> ParseDuration(const std::string& text) {
    double number = 0;
    const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (failure != std::errc() || !std::isfinite(number) || number <= 0) {
        return std::nullopt;
    }
    const std::string unit(end, text.data() + text.size());
    const double scale = unit == "ms" ? 1 : unit == "s" ? 1000 : unit == "m" ? 60000 : 0;
    const double ms = number * scale;
    if (scale == 0 || ms < 1 || ms > 86400000) {
        return std::nullopt;
    }
    return std::chrono::milliseconds(std::llround(ms));
}

ConfigResult ParseConfig(const std::string& yaml, const std::string& folder,
                         const ConfigDefaults& defaults) {
    try {
        const YAML::Node root = YAML::Load(yaml);
        if (!root.IsMap() || !root["stations"] || !root["stations"].IsSequence()) {
            return {std::nullopt, "needs a list under stations:"};
        }
        ConfigDefaults effective = defaults;
        effective.timeout = Duration(root["timeout"], "timeout", defaults.timeout);
        const auto interval = Duration(root["interval"], "interval", defaults.interval);
        if (root["retries"]) {
            const std::string retries = Text(root["retries"], "retries");
            if (retries.size() != 1 || retries[0] < '0' || retries[0] > '5') {
                return {std::nullopt, "retries must be 0 to 5"};
            }
            effective.retries = retries[0] - '0';
        }
        FleetConfig config;
        MqttConfigResult mqtt = ParseMqttSection(root["mqtt"], folder, effective.credentialsFolder);
        if (!mqtt.config) {
            return {std::nullopt, mqtt.error};
        }
        config.mqtt = std::move(*mqtt.config);
        std::set<std::string> ids;
        std::set<uint64_t> endpoints;
        const YAML::Node stations = root["stations"];
        for (std::size_t i = 0; i < stations.size(); ++i) {
            WatchedStation station = Station(stations[i], i, folder, effective, interval);
            if (!ids.insert(station.setup.id).second) {
                return {std::nullopt, "the id " + station.setup.id + " is given twice"};
            }
            // Replies are told apart by where they come from.
            if (!endpoints.insert((uint64_t{station.setup.address} << 16) | station.setup.port)
                     .second) {
                return {std::nullopt,
                        station.setup.id + " has the address and port of another station"};
            }
            config.stations.push_back(std::move(station));
        }
        return {std::move(config), ""};
    } catch (const ConfigError& error) {
        return {std::nullopt, error.text};
    } catch (const YAML::Exception& error) {
        return {std::nullopt, "not valid YAML: " + std::string(error.what())};
    }
}

ConfigResult LoadConfigFile(const std::string& path, const ConfigDefaults& defaults) {
    std::ifstream stream(path);
    if (!stream) {
        return {std::nullopt, path + ": cannot be read"};
    }
    std::ostringstream text;
    text << stream.rdbuf();
    const auto slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
    ConfigResult result = ParseConfig(text.str(), folder, defaults);
    if (!result.config) {
        result.error = path + ": " + result.error;
    }
    return result;
}

}  // namespace varnex::varnexd
