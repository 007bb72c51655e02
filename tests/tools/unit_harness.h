// Drives an in-process unit simulator over real UDP on 127.0.0.1: the unit
// binds port 0, the test's client socket another kernel-chosen port, and the
// unit's clock is a plain variable the test moves forward.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "unit/unit_server.h"

namespace varnex::unit::testing {

using Params = std::vector<std::pair<std::size_t, uint8_t>>;

// A 285-byte command as the client builds it: magic, letter, password padded
// with '*', '*' filler, ten zero bytes; then `params` written over it.
Bytes Frame(char letter, const Params& params = {}, const std::string& password = "tamble");
// Writes `text` from `offset` on.
void PutText(Bytes& frame, std::size_t offset, const std::string& text);

// A UDP socket bound to `address`:0 that talks to one unit.
class ClientSocket {
  public:
    explicit ClientSocket(const std::string& address = "127.0.0.1");
    ~ClientSocket();
    ClientSocket(const ClientSocket&) = delete;
    ClientSocket& operator=(const ClientSocket&) = delete;
    void SendTo(const std::string& address, uint16_t port, const Bytes& datagram);
    // One datagram if it arrives within `wait`.
    std::optional<Bytes> Receive(std::chrono::milliseconds wait);

  private:
    int socket_ = -1;
};

class UnitHarness {
  public:
    explicit UnitHarness(const UnitSetup& setup = {});

    // Sends `datagram`, lets the unit serve it and returns its reply; a unit
    // that stays silent gives nullopt after a short bounded wait.
    std::optional<Bytes> Exchange(const Bytes& datagram, ClientSocket* from = nullptr);
    std::optional<Bytes> Command(char letter, const Params& params = {});
    // A reply that comes later (delayed replies).
    std::optional<Bytes> Receive();
    Bytes Status();  // "1"; fails the test when there is no status record
    Bytes ScriptTable();
    std::string Console(const std::string& line);
    void Advance(std::chrono::milliseconds step);

    UnitServer& Server() { return server_; }
    const std::vector<std::string>& Log() const { return log_; }

  private:
    UnitTime now_{1000};
    std::vector<std::string> log_;
    UnitServer server_;
    ClientSocket client_;
};

}  // namespace varnex::unit::testing
