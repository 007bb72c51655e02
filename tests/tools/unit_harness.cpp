#include "unit_harness.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "unit/unit_console.h"

namespace varnex::unit::testing {
namespace {

sockaddr_in Endpoint(const std::string& address, uint16_t port) {
    sockaddr_in endpoint{};
    endpoint.sin_family = AF_INET;
    endpoint.sin_port = htons(port);
    inet_pton(AF_INET, address.c_str(), &endpoint.sin_addr);
    return endpoint;
}

// Loopback hands a datagram over within sendto, so this bound is only met
// when the unit stays silent.
constexpr std::chrono::milliseconds kSilenceWait{200};

}  // namespace

Bytes Frame(char letter, const Params& params, const std::string& password) {
    Bytes frame(wire::kCommandFrameSize, 0);
    PutText(frame, wire::kMagicOffset, std::string(wire::kMagic));
    frame[wire::kLetterOffset] = static_cast<uint8_t>(letter);
    std::string field = password;
    field.resize(wire::kPasswordSize, wire::kFiller);
    PutText(frame, wire::kPasswordOffset, field);
    PutText(frame, wire::kParameterOffset, std::string(wire::kFillerSize, wire::kFiller));
    for (const auto& [offset, value] : params) {
        frame[offset] = value;
    }
    return frame;
}

void PutText(Bytes& frame, std::size_t offset, const std::string& text) {
    std::copy(text.begin(), text.end(), frame.begin() + static_cast<long>(offset));
}

ClientSocket::ClientSocket(const std::string& address) {
    socket_ = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const sockaddr_in local = Endpoint(address, 0);
    EXPECT_EQ(bind(socket_, reinterpret_cast<const sockaddr*>(&local), sizeof local), 0);
}

ClientSocket::~ClientSocket() {
    close(socket_);
}

void ClientSocket::SendTo(const std::string& address, uint16_t port, const Bytes& datagram) {
    const sockaddr_in to = Endpoint(address, port);
    ASSERT_EQ(sendto(socket_, datagram.data(), datagram.size(), 0,
                     reinterpret_cast<const sockaddr*>(&to), sizeof to),
              static_cast<ssize_t>(datagram.size()));
}

std::optional<Bytes> ClientSocket::Receive(std::chrono::milliseconds wait) {
    pollfd ready{socket_, POLLIN, 0};
    if (poll(&ready, 1, static_cast<int>(wait.count())) <= 0) {
        return std::nullopt;
    }
    Bytes datagram(2048);
    const ssize_t size = recv(socket_, datagram.data(), datagram.size(), 0);
    if (size < 0) {
        return std::nullopt;
    }
    datagram.resize(static_cast<std::size_t>(size));
    return datagram;
}

UnitHarness::UnitHarness(const UnitSetup& setup)
    : server_(
          MakeUnitState(setup, now_), [this] { return now_; },
          [this](const std::string& line) { log_.push_back(line); }) {
    std::string error;
    EXPECT_TRUE(server_.Bind("127.0.0.1", 0, error)) << error;
}

std::optional<Bytes> UnitHarness::Exchange(const Bytes& datagram, ClientSocket* from) {
    ClientSocket& client = from != nullptr ? *from : client_;
    client.SendTo(server_.Address(), server_.Port(), datagram);
    server_.Serve(kSilenceWait);
    return client.Receive(server_.ReplyDelay().count() > 0 ? std::chrono::milliseconds(0)
                                                           : kSilenceWait);
}

std::optional<Bytes> UnitHarness::Receive() {
    return client_.Receive(kSilenceWait);
}

std::optional<Bytes> UnitHarness::Command(char letter, const Params& params) {
    return Exchange(Frame(letter, params));
}

Bytes UnitHarness::Status() {
    const auto reply = Command('1');
    EXPECT_TRUE(reply.has_value());
    if (!reply || reply->size() != wire::kStatusRecordSize) {
        ADD_FAILURE() << "no status record";
        return Bytes(wire::kStatusRecordSize, 0xEE);
    }
    return *reply;
}

Bytes UnitHarness::ScriptTable() {
    const auto reply = Command('L');
    if (!reply || reply->size() != wire::kScriptTableSize) {
        ADD_FAILURE() << "no script table";
        return Bytes(wire::kScriptTableSize, 0xEE);
    }
    return *reply;
}

std::string UnitHarness::Console(const std::string& line) {
    return RunConsoleLine(server_, line).output;
}

void UnitHarness::Advance(std::chrono::milliseconds step) {
    now_ += step;
    server_.Serve(std::chrono::milliseconds(0));
}

}  // namespace varnex::unit::testing
