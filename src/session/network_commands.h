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
inline constexpr const char* kLoopbackRouteText =
    "A loopback address (127.x.x.x) is this computer itself !!\r\nNo route added.";
inline constexpr const char* kNoTerminalText =
    "No terminal program could be started to show ping and ip.\r\n"
    "Install one (xterm, for example) and try again.";

// Four decimal fields 0..255 separated by dots, nothing else. Leading zeros
// are refused: the tools would read "010" as octal.
bool IsDottedIpv4(std::string_view text);

std::vector<std::string> PingCommand(const std::string& ip);
std::vector<std::string> HostRouteCommand(const std::string& ip, const std::string& interfaceName,
                                          const std::string& localAddress);
std::vector<std::string> NeighbourFlushCommand(const std::string& ip);

// A terminal program and the option after which it takes the command to run.
struct Terminal {
    std::string program;
    std::string commandOption;
    bool operator==(const Terminal&) const = default;
};

// The Debian alternative x-terminal-emulator first (as the terminal it
// points to, when that one is known), then the usual terminals.
std::optional<Terminal> FindTerminal(const PlatformHooks& hooks);

// The command inside the terminal. A fixed shell script runs it with its
// arguments as "$@" (never parsed as shell text) and keeps the window open
// after it ends, so a refusal such as a missing privilege can be read.
std::vector<std::string> InTerminal(const Terminal& terminal, const std::vector<std::string>& argv);

// Starts the command in a terminal window, so the user sees it and can stop
// it; a window for the same command that is still open is not opened twice.
// Without a terminal nothing starts and the user is told.
bool LaunchShown(const PlatformHooks& hooks, const std::vector<std::string>& argv);

using InterfaceLookup = std::function<std::optional<std::string>(uint32_t address)>;

// The first IPv4 address of an interface that is up and not loopback.
std::optional<uint32_t> FirstLocalAddress();
// The name of the interface that owns `address`.
std::optional<std::string> InterfaceWithAddress(uint32_t address);

// Each says why when it starts nothing (malformed station address, no local
// address, a loopback station for a route, no terminal) and answers whether
// a command was started or its window is open already.
bool RunAutoPing(const PlatformHooks& hooks, const std::string& stationIp);
bool RunAutoAddRoute(const PlatformHooks& hooks, const std::string& stationIp,
                     const InterfaceLookup& interfaceOf = InterfaceWithAddress);
bool RunNeighbourFlush(const PlatformHooks& hooks, const std::string& stationIp);

}  // namespace varnex
