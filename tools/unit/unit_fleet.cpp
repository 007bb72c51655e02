#include "unit/unit_fleet.h"

#include <sys/epoll.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

#include "text/conversions.h"

namespace varnex::unit {
namespace {

// Descriptors the process keeps beside the units' (standard streams, epoll,
// a log file).
constexpr rlim_t kSpareDescriptors = 64;
constexpr int kEventBatch = 256;
constexpr UnitTime kTickEvery{100};

bool RaiseOpenFileLimit(std::size_t units, std::string& error) {
    rlimit limit{};
    getrlimit(RLIMIT_NOFILE, &limit);
    const rlim_t needed = static_cast<rlim_t>(units) + kSpareDescriptors;
    if (limit.rlim_cur >= needed) {
        return true;
    }
    limit.rlim_cur = needed;
    limit.rlim_max = std::max(limit.rlim_max, needed);  // only a privileged user may raise it
    if (setrlimit(RLIMIT_NOFILE, &limit) != 0) {
        error = "cannot open " + std::to_string(units) + " sockets: open-file limit (" +
                std::strerror(errno) + ")";
        return false;
    }
    return true;
}

std::string DottedText(const Address4& a) {
    return std::to_string(a[0]) + "." + std::to_string(a[1]) + "." + std::to_string(a[2]) + "." +
           std::to_string(a[3]);
}

uint32_t AddressNumber(const Address4& a) {
    return (uint32_t{a[0]} << 24) | (uint32_t{a[1]} << 16) | (uint32_t{a[2]} << 8) | a[3];
}

}  // namespace

UnitSetup FleetMemberSetup(const UnitSetup& first, std::size_t index) {
    UnitSetup setup = first;
    setup.address = AddressBytes(AddressNumber(first.address) + static_cast<uint32_t>(index));
    setup.seed = first.seed + index;
    const unsigned low = ((unsigned{first.mac[4]} << 8) | first.mac[5]) + index;
    setup.mac[4] = static_cast<uint8_t>(low >> 8);
    setup.mac[5] = static_cast<uint8_t>(low);
    const std::string number = " " + std::to_string(index + 1);
    setup.name = first.name.substr(0, wire::kStationNameSize - number.size()) + number;
    return setup;
}

UnitFleet::UnitFleet(UnitServer::Clock clock, UnitServer::LogSink log)
    : clock_(std::move(clock)), log_(std::move(log)) {}

UnitFleet::~UnitFleet() {
    if (epoll_ >= 0) {
        close(epoll_);
    }
}

bool UnitFleet::Start(const UnitSetup& first, std::size_t count, uint16_t port,
                      std::string& error) {
    const uint64_t last = uint64_t{AddressNumber(first.address)} + count - 1;
    if (count == 0 || (last >> 24) != first.address[0]) {
        error = std::to_string(count) + " units do not fit after " + DottedText(first.address);
        return false;
    }
    if (!RaiseOpenFileLimit(count, error)) {
        return false;
    }
    epoll_ = epoll_create1(EPOLL_CLOEXEC);
    for (std::size_t i = 0; i < count; ++i) {
        const UnitSetup setup = FleetMemberSetup(first, i);
        auto unit = std::make_unique<UnitServer>(MakeUnitState(setup, clock_()), clock_, log_);
        if (!unit->Bind(DottedText(setup.address), port, error)) {
            return false;
        }
        port = unit->Port();
        if (count > 1) {
            unit->SetLogPrefix(unit->Address() + " ");
        }
        units_.push_back(std::move(unit));
        watched_.push_back(-1);
        Watch(i);
    }
    return true;
}

void UnitFleet::Watch(std::size_t index) {
    const int fd = units_[index]->Descriptor();
    if (watched_[index] == fd) {
        return;
    }
    // The old descriptor left the epoll set when the unit closed it.
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.u64 = index;
    epoll_ctl(epoll_, EPOLL_CTL_ADD, fd, &event);
    watched_[index] = fd;
}

void UnitFleet::Serve() {
    std::array<epoll_event, kEventBatch> events{};
    const int ready = epoll_wait(epoll_, events.data(), kEventBatch, 0);
    for (int i = 0; i < ready; ++i) {
        const auto index = static_cast<std::size_t>(events[static_cast<std::size_t>(i)].data.u64);
        units_[index]->ServeReadable();
        Watch(index);  // "F" moves a unit to a new socket
    }
    // A busy fleet wakes for every batch of requests; letting all the units
    // act by themselves at each wake would cost more than answering.
    const UnitTime now = clock_();
    if (ready > 0 && now - lastTick_ < kTickEvery) {
        return;
    }
    lastTick_ = now;
    for (auto& unit : units_) {
        unit->Tick();
    }
}

std::chrono::milliseconds UnitFleet::IdleTime(std::chrono::milliseconds limit) const {
    for (const auto& unit : units_) {
        limit = std::min(limit, unit->IdleTime(limit));
    }
    return limit;
}

UnitServer* UnitFleet::Find(const std::string& address) {
    for (auto& unit : units_) {
        if (unit->Address() == address) {
            return unit.get();
        }
    }
    return nullptr;
}

}  // namespace varnex::unit
