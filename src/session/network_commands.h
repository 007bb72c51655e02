// The operating system's own network tools, started for the current
// station: a continuous ping, a host route, and the neighbour-cache flush
// after a MAC change. Fire and forget: nothing is awaited or read back.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform_hooks.h"
#include "session/command_line.h"

namespace varnex {

inline constexpr const char* kNoLocalAddressText =
    "Can't find the local IP Address !!\r\nNo route added.";

// Four decimal fields 0..255 separated by dots, nothing else. Leading zeros
// are refused: the tools would read "010" as octal.
bool IsDottedIpv4(std::string_view text);

std::vector<std::string> PingCommand(const std::string& ip);
std::vector<std::string> HostRouteCommand(const std::string& ip, const std::string& interfaceName,
                                          const std::string& localAddress);
std::vector<std::string> NeighbourFlushCommand(const std::string& ip);

// Starts the command inside a terminal window where one exists, so the user
// sees its output; otherwise starts it directly.
bool LaunchShown(const PlatformHooks& hooks, const std::vector<std::string>& argv);

using InterfaceLookup = std::function<std::optional<std::string>(uint32_t address)>;

// The first IPv4 address of an interface that is up and not loopback.
std::optional<uint32_t> FirstLocalAddress();
// The name of the interface that owns `address`.
std::optional<std::string> InterfaceWithAddress(uint32_t address);

// Each says why when it starts nothing (malformed station address, no local
// address) and answers whether a command was started.
bool RunAutoPing(const PlatformHooks& hooks, const std::string& stationIp);
bool RunAutoAddRoute(const PlatformHooks& hooks, const std::string& stationIp,
                     const InterfaceLookup& interfaceOf = InterfaceWithAddress);
bool RunNeighbourFlush(const PlatformHooks& hooks, const std::string& stationIp);

}  // namespace varnex
