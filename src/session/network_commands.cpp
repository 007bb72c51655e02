#include "session/network_commands.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <algorithm>
#include <memory>

#include "text/conversions.h"

namespace varnex {

namespace {

void ShowRefusal(const PlatformHooks& hooks, const char* text) {
    hooks.showMessage(Message{MessageOwner::MainWindow, text, "", MessageIcon::Stop});
}

bool RefuseMalformed(const PlatformHooks& hooks, const std::string& ip) {
    if (IsDottedIpv4(ip)) {
        return false;
    }
    ShowRefusal(hooks, kInvalidAddressText);
    return true;
}

using InterfaceList = std::unique_ptr<ifaddrs, decltype(&freeifaddrs)>;

InterfaceList Interfaces() {
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) {
        list = nullptr;
    }
    return InterfaceList(list, &freeifaddrs);
}

std::optional<uint32_t> Ipv4Of(const ifaddrs& entry) {
    if (entry.ifa_addr == nullptr || entry.ifa_addr->sa_family != AF_INET) {
        return std::nullopt;
    }
    const auto* address = reinterpret_cast<const sockaddr_in*>(entry.ifa_addr);
    return ntohl(address->sin_addr.s_addr);
}

}  // namespace

bool IsDottedIpv4(std::string_view text) {
    // Only the canonical spelling: that refuses leading zeros too.
    const std::optional<uint32_t> address = ParseDottedAddress(text);
    return address && FormatDottedAddress(*address) == text;
}

std::vector<std::string> PingCommand(const std::string& ip) {
    // Linux ping runs until stopped by itself; "-t" would set the TTL here.
    return {"ping", ip};
}

std::vector<std::string> HostRouteCommand(const std::string& ip, const std::string& interfaceName,
                                          const std::string& localAddress) {
    return {"ip", "route", "add", ip + "/32", "dev", interfaceName, "src", localAddress};
}

std::vector<std::string> NeighbourFlushCommand(const std::string& ip) {
    // "flush to" needs no interface name: the entry goes wherever it was learnt.
    return {"ip", "neigh", "flush", "to", ip};
}

std::optional<Terminal> FindTerminal(const PlatformHooks& hooks) {
    static const Terminal kKnown[] = {
        {"gnome-terminal", "--"}, {"konsole", "-e"}, {"xfce4-terminal", "-x"}, {"xterm", "-e"}};
    const auto known = [](std::string_view name) -> std::optional<Terminal> {
        for (const Terminal& terminal : kKnown) {
            if (name == terminal.program) {
                return terminal;
            }
        }
        return std::nullopt;
    };
    if (const std::optional<std::string> path = hooks.findProgram("x-terminal-emulator")) {
        std::string_view name = *path;
        name.remove_prefix(std::min(name.size(), name.rfind('/') + 1));
        if (name.ends_with(".wrapper")) {
            name.remove_suffix(std::string_view(".wrapper").size());
        }
        // Every alternative takes "-e"; a known one gets its own form, which
        // passes the arguments on unchanged.
        return known(name).value_or(Terminal{"x-terminal-emulator", "-e"});
    }
    for (const Terminal& terminal : kKnown) {
        if (hooks.findProgram(terminal.program)) {
            return terminal;
        }
    }
    return std::nullopt;
}

std::vector<std::string> InTerminal(const Terminal& terminal,
                                    const std::vector<std::string>& argv) {
    static constexpr const char* kHoldOpen =
        "\"$@\"; status=$?; printf '\\n%s ended (status %d). Press Enter to close.\\n' "
        "\"$1\" \"$status\"; read -r _";
    std::vector<std::string> command = {terminal.program, terminal.commandOption, "sh", "-c",
                                        kHoldOpen, "varnex"};
    command.insert(command.end(), argv.begin(), argv.end());
    return command;
}

bool LaunchShown(const PlatformHooks& hooks, const std::vector<std::string>& argv) {
    const std::optional<Terminal> terminal = FindTerminal(hooks);
    if (terminal) {
        const std::vector<std::string> command = InTerminal(*terminal, argv);
        if (hooks.stillRunning(command) || hooks.launch(command)) {
            return true;
        }
    }
    ShowRefusal(hooks, kNoTerminalText);
    return false;
}

std::optional<uint32_t> FirstLocalAddress() {
    const InterfaceList list = Interfaces();
    for (const ifaddrs* entry = list.get(); entry != nullptr; entry = entry->ifa_next) {
        const std::optional<uint32_t> address = Ipv4Of(*entry);
        if (address && (entry->ifa_flags & IFF_UP) != 0 && (entry->ifa_flags & IFF_LOOPBACK) == 0) {
            return address;
        }
    }
    return std::nullopt;
}

std::optional<std::string> InterfaceWithAddress(uint32_t address) {
    const InterfaceList list = Interfaces();
    for (const ifaddrs* entry = list.get(); entry != nullptr; entry = entry->ifa_next) {
        if (Ipv4Of(*entry) == address && entry->ifa_name != nullptr) {
            return std::string(entry->ifa_name);
        }
    }
    return std::nullopt;
}

bool RunAutoPing(const PlatformHooks& hooks, const std::string& stationIp) {
    if (RefuseMalformed(hooks, stationIp)) {
        return false;
    }
    return LaunchShown(hooks, PingCommand(stationIp));
}

bool RunAutoAddRoute(const PlatformHooks& hooks, const std::string& stationIp,
                     const InterfaceLookup& interfaceOf) {
    if (RefuseMalformed(hooks, stationIp)) {
        return false;
    }
    if (ParseDottedAddress(stationIp).value_or(0) >> 24 == 127) {
        ShowRefusal(hooks, kLoopbackRouteText);
        return false;
    }
    const std::optional<uint32_t> local = hooks.localAddress();
    const std::optional<std::string> interfaceName =
        local ? interfaceOf(*local) : std::optional<std::string>{};
    if (!interfaceName || interfaceName->empty()) {
        ShowRefusal(hooks, kNoLocalAddressText);
        return false;
    }
    return LaunchShown(hooks,
                       HostRouteCommand(stationIp, *interfaceName, FormatDottedAddress(*local)));
}

bool RunNeighbourFlush(const PlatformHooks& hooks, const std::string& stationIp) {
    if (RefuseMalformed(hooks, stationIp)) {
        return false;
    }
    return LaunchShown(hooks, NeighbourFlushCommand(stationIp));
}

}  // namespace varnex
