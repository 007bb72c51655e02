// Switches the relays of polled stations without holding up the poller.
// Each command goes out once, from a socket of its own, so its reply can
// never be taken for a status reply to the poller or for another command's;
// the caller waits on Descriptor() beside the poller's and calls OnReadable.
//
// A command is done when a status record shows the relay in the asked
// state: the command's own reply, or one of the poller's records that come
// after it. A refused password or a return code in reply is a refusal; a
// unit that answers but never shows the change refused it too; a unit that
// says nothing at all within two poll intervals and timeouts gave no answer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fleet/fleet_poller.h"
#include "protocol/unit_frames.h"

namespace varnex::fleet {

enum class CommandOutcome { Done, Refused, Busy, NoAnswer };
inline constexpr std::size_t kCommandOutcomes = 4;

struct RelayRequest {
    std::size_t station = 0;  // the poller's index
    int relay = 1;            // 1..3
    RelayAction action = RelayAction::On;
    int toggleSeconds = 0;  // for a toggle, 1..60
};

struct SettledCommand {
    std::string stationId;
    RelayRequest request;
    CommandOutcome outcome = CommandOutcome::Done;
    std::string why;  // for the log
};

class RelayCommands {
  public:
    explicit RelayCommands(std::string bindAddress = "0.0.0.0");
    ~RelayCommands();
    RelayCommands(const RelayCommands&) = delete;
    RelayCommands& operator=(const RelayCommands&) = delete;

    // Set when the commands' epoll could not be made; nothing can be sent.
    const std::string& Error() const { return error_; }
    int Descriptor() const { return epoll_; }

    // Sends the command now, once. Settled at once when a command for the
    // same relay is still in flight (busy) or when it cannot leave.
    std::optional<SettledCommand> Send(const RelayRequest& request, const FleetPoller& poller,
                                       Time now);
    void OnReadable();
    // The commands settled by now, each once.
    std::vector<SettledCommand> Settle(const FleetPoller& poller, Time now);
    std::size_t InFlight() const { return pending_.size(); }

  private:
    struct Pending {
        SettledCommand command;
        int socket = -1;
        uint32_t address = 0;
        uint16_t port = 0;
        bool wantUnitOn = true;  // the unit's word: status byte 0
        uint64_t receivedAtSend = 0;
        Time replyBy{};   // a refusal may come until then
        Time settleBy{};  // then the poller's records have had their chance
        bool replied = false;
        std::optional<CommandOutcome> outcome;
    };

    void Receive(Pending& pending);
    void Close(Pending& pending);

    std::string bindAddress_;
    std::string error_;
    int epoll_ = -1;
    std::vector<Pending> pending_;
};

// "done", "refused", "busy", "no answer".
const char* OutcomeText(CommandOutcome outcome);

}  // namespace varnex::fleet
