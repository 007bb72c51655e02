#include "protocol/device_link.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>

#include "text/conversions.h"

namespace varnex {
namespace {

uint32_t ReadCounter(const std::string& text) {
    // Lost can be negative; it then reads as 0.
    return !text.empty() && text.front() == '-' ? 0 : ParseUnsigned(text);
}

// Anyone may send to a port between its bind and the connect that ties it
// to the unit, and connecting does not empty the queue. Such datagrams are
// no reply; the connected socket admits nothing new from others, so this ends.
void DiscardQueuedDatagrams(int fd) {
    uint8_t discard = 0;
    while (recv(fd, &discard, sizeof discard, MSG_DONTWAIT) >= 0) {
    }
}

}  // namespace

uint16_t ParseUnitPort(const char* text) {
    if (text == nullptr || *text == '\0') {
        return kDefaultUnitPort;
    }
    unsigned long port = 0;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9') {
            return kDefaultUnitPort;
        }
        port = port * 10 + static_cast<unsigned long>(*c - '0');
        if (port > 65535) {
            return kDefaultUnitPort;
        }
    }
    return port == 0 ? kDefaultUnitPort : static_cast<uint16_t>(port);
}

uint16_t UnitPortFromEnvironment() {
    return ParseUnitPort(std::getenv("VARNEX_UNIT_PORT"));
}

bool BindAnyInterface(int fd, uint16_t port) {
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    local.sin_port = htons(port);
    return bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0;
}

DeviceLink::DeviceLink(PlatformHooks& hooks, PacketCounters& counters, LinkOptions options)
    : hooks_(hooks), counters_(counters), options_(std::move(options)) {}

DeviceLink::~DeviceLink() {
    CloseSocket();
}

void DeviceLink::CloseSocket() {
    if (fd_ >= 0) {
        close(fd_);
        fd_ = -1;
    }
}

void DeviceLink::StopNetworking() {
    CloseSocket();
    socketChanged_(-1);
}

void DeviceLink::Fail(const char* text) {
    // A failed socket is of no further use; the notifier must not watch it.
    CloseSocket();
    socketChanged_(-1);
    // The session ends before the box opens: the box's own event loop must
    // not go on polling behind it.
    resetSession_();
    hooks_.showMessage({MessageOwner::MainWindow, text, "", MessageIcon::Stop});
}

bool DeviceLink::ChooseLocalPort() {
    const uint32_t lost = ReadCounter(counters_.lost);
    if (lost == rememberedLost_) {
        return true;  // the system picks the port at connect
    }
    rememberedLost_ = lost;
    for (int attempts = 0; attempts < kBindAttempts; ++attempts) {
        uint32_t port = RandomBelow(random_, kLocalPortLimit);
        while (port < kLowestLocalPort) {
            port = RandomBelow(random_, kLocalPortLimit);
        }
        if (options_.bindPort(fd_, static_cast<uint16_t>(port))) {
            return true;
        }
    }
    return false;
}

bool DeviceLink::SendPacket(const std::string& address) {
    CloseSocket();
    fd_ = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd_ < 0) {
        Fail("Error Creating UDP Socket !!\r\nIt's Over !!");
        return false;
    }
    if (!ChooseLocalPort()) {
        Fail("Bind Error !!\r\nIt's Over !!");
        return false;
    }
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_port = htons(options_.unitPort);
    // A text that is no address is refused here rather than turned into the
    // broadcast address.
    const bool addressValid = inet_pton(AF_INET, address.c_str(), &remote.sin_addr) == 1;
    if (!socketChanged_(fd_)) {
        hooks_.showMessage({MessageOwner::MainWindow, "Error SyncSelect Socket !!\r\nIt's Over !!",
                            "", MessageIcon::Stop});
    }
    if (!addressValid ||
        (connect(fd_, reinterpret_cast<const sockaddr*>(&remote), sizeof remote) != 0 &&
         errno != EINPROGRESS && errno != EAGAIN)) {
        Fail("Error Connect Socket !!\r\nIt's Over !!");
        return false;
    }
    DiscardQueuedDatagrams(fd_);
    if (send(fd_, command_.bytes.data(), wire::kCommandFrameSize, MSG_NOSIGNAL) !=
        static_cast<ssize_t>(wire::kCommandFrameSize)) {
        hooks_.showMessage({MessageOwner::MainWindow, "Error Send Socket !!\r\nIt's Over !!", "",
                            MessageIcon::Stop});
        return false;
    }
    ClearCommand(command_);
    const uint32_t sent = ParseUnsigned(counters_.sent) + 1;
    const uint32_t received = ParseUnsigned(counters_.received);
    counters_.sent = std::to_string(sent);
    counters_.lost = FormatSigned(static_cast<int32_t>(sent - received - 1));
    return true;
}

ReadResult DeviceLink::OnSocketNotification(int errorCode) {
    if (errorCode != 0) {
        resetSession_();
        hooks_.showMessage({MessageOwner::MainWindow, "Shazbot FD_READ !!", "", MessageIcon::Stop});
        return ReadResult::Error;
    }
    if (fd_ < 0) {
        return ReadResult::Ignored;
    }
    if (repliesIgnored_) {
        // Drained, not counted: an unread datagram would keep the socket
        // readable and the notifier firing.
        std::array<uint8_t, wire::kReplyBufferSize> discard{};
        (void)recv(fd_, discard.data(), discard.size(), 0);
        return ReadResult::Ignored;
    }
    const ssize_t size = recv(fd_, reply_.data(), reply_.size(), 0);
    if (size < 0) {
        // Nothing arrived (for example a refused port): stale bytes are not a reply.
        return ReadResult::Ignored;
    }
    lastReplySize_ = static_cast<std::size_t>(size);
    counters_.received = std::to_string(ParseUnsigned(counters_.received) + 1);
    return ReadResult::Received;
}

}  // namespace varnex
