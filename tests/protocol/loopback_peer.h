// A tiny stand-in for a unit, a client or a stranger on 127.0.0.x: a UDP
// socket on a kernel-chosen port that receives datagrams, answers their
// sender and sends to any loopback address. Every wait is bounded.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace varnex::testing {

inline constexpr int kWaitMs = 2000;

// Waits until fd is readable; false after timeoutMs.
inline bool WaitReadable(int fd, int timeoutMs = kWaitMs) {
    pollfd p{fd, POLLIN, 0};
    return poll(&p, 1, timeoutMs) == 1;
}

// The local port a socket is bound to; 0 when it is not bound.
inline uint16_t LocalPort(int fd) {
    sockaddr_in local{};
    socklen_t size = sizeof local;
    getsockname(fd, reinterpret_cast<sockaddr*>(&local), &size);
    return ntohs(local.sin_port);
}

inline sockaddr_in Endpoint(const std::string& address, uint16_t port) {
    sockaddr_in endpoint{};
    endpoint.sin_family = AF_INET;
    endpoint.sin_port = htons(port);
    inet_pton(AF_INET, address.c_str(), &endpoint.sin_addr);
    return endpoint;
}

class LoopbackPeer {
  public:
    explicit LoopbackPeer(const std::string& address = "127.0.0.1")
        : fd_(socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0)) {
        const sockaddr_in local = Endpoint(address, 0);
        bind(fd_, reinterpret_cast<const sockaddr*>(&local), sizeof local);
        port_ = LocalPort(fd_);
    }
    ~LoopbackPeer() { close(fd_); }
    LoopbackPeer(const LoopbackPeer&) = delete;
    LoopbackPeer& operator=(const LoopbackPeer&) = delete;

    uint16_t port() const { return port_; }  // 0 when the bind failed

    // The next datagram, or nullopt when none came in time.
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

    // The dotted address the last datagram came from.
    std::string LastSenderAddress() const {
        char text[INET_ADDRSTRLEN] = {};
        inet_ntop(AF_INET, &lastSender_.sin_addr, text, sizeof text);
        return text;
    }

    // Answers the sender of the last datagram received.
    bool Reply(const std::vector<uint8_t>& bytes) { return Send(lastSender_, bytes); }
    bool SendTo(const std::string& address, uint16_t port, const std::vector<uint8_t>& bytes) {
        return Send(Endpoint(address, port), bytes);
    }

  private:
    bool Send(const sockaddr_in& to, const std::vector<uint8_t>& bytes) {
        return sendto(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to),
                      sizeof to) == static_cast<ssize_t>(bytes.size());
    }

    int fd_ = -1;
    uint16_t port_ = 0;
    sockaddr_in lastSender_{};
};

}  // namespace varnex::testing
