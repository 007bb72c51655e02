// A tiny stand-in for a unit on 127.0.0.1: a UDP socket on a kernel-chosen
// port that receives requests and answers with given bytes. Every wait is
// bounded by a deadline.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace varnex::testing {

inline constexpr int kWaitMs = 2000;

// Waits until fd is readable; false after timeoutMs.
inline bool WaitReadable(int fd, int timeoutMs = kWaitMs) {
    pollfd p{fd, POLLIN, 0};
    return poll(&p, 1, timeoutMs) == 1;
}

class LoopbackPeer {
  public:
    LoopbackPeer() {
        fd_ = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK, 0);
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        local.sin_port = 0;
        bind(fd_, reinterpret_cast<sockaddr*>(&local), sizeof local);
        socklen_t size = sizeof local;
        getsockname(fd_, reinterpret_cast<sockaddr*>(&local), &size);
        port_ = ntohs(local.sin_port);
    }
    ~LoopbackPeer() { close(fd_); }
    LoopbackPeer(const LoopbackPeer&) = delete;
    LoopbackPeer& operator=(const LoopbackPeer&) = delete;

    uint16_t port() const { return port_; }

    // The next request, or nullopt when none came in time.
    std::optional<std::vector<uint8_t>> Receive(int timeoutMs = kWaitMs) {
        if (!WaitReadable(fd_, timeoutMs)) {
            return std::nullopt;
        }
        std::vector<uint8_t> bytes(2048);
        socklen_t size = sizeof lastSender_;
        const ssize_t n = recvfrom(fd_, bytes.data(), bytes.size(), 0,
                                   reinterpret_cast<sockaddr*>(&lastSender_), &size);
        if (n < 0) {
            return std::nullopt;
        }
        bytes.resize(static_cast<std::size_t>(n));
        return bytes;
    }

    // Answers the sender of the last request.
    void Reply(const std::vector<uint8_t>& bytes) {
        sendto(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&lastSender_),
               sizeof lastSender_);
    }

    uint16_t lastSenderPort() const { return ntohs(lastSender_.sin_port); }

  private:
    int fd_ = -1;
    uint16_t port_ = 0;
    sockaddr_in lastSender_{};
};

// The local port a socket is bound to.
inline uint16_t LocalPort(int fd) {
    sockaddr_in local{};
    socklen_t size = sizeof local;
    getsockname(fd, reinterpret_cast<sockaddr*>(&local), &size);
    return ntohs(local.sin_port);
}

}  // namespace varnex::testing
