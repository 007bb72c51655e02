#include "session/network_commands.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

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

bool LaunchShown(const PlatformHooks& hooks, const std::vector<std::string>& argv) {
    std::vector<std::string> inTerminal = {"x-terminal-emulator", "-e"};
    inTerminal.insert(inTerminal.end(), argv.begin(), argv.end());
    return hooks.launch(inTerminal) || hooks.launch(argv);
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
