#include "fleet/relay_commands.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "protocol/command_packet.h"
#include "protocol/reply_kind.h"
#include "protocol/status_record.h"

namespace varnex::fleet {
namespace {

// Sockets open at once; a flood of commands is answered busy beyond this.
constexpr std::size_t kMostInFlight = 64;

bool Shows(const StatusRecord& record, int relay, bool wantUnitOn) {
    return (record.relays[static_cast<std::size_t>(relay - 1)] == 0) == wantUnitOn;
}

std::string CodeText(uint8_t code) {
    const auto text = ReturnMessageText(code);
    return "return code " + std::to_string(code) +
           (text ? " \"" + std::string(*text) + "\"" : std::string());
}

}  // namespace

const char* OutcomeText(CommandOutcome outcome) {
    switch (outcome) {
        case CommandOutcome::Done:
            return "done";
        case CommandOutcome::Refused:
            return "refused";
        case CommandOutcome::Busy:
            return "busy";
        case CommandOutcome::NoAnswer:
            break;
    }
    return "no answer";
}

RelayCommands::RelayCommands(std::string bindAddress) : bindAddress_(std::move(bindAddress)) {
    epoll_ = epoll_create1(EPOLL_CLOEXEC);
    if (epoll_ < 0) {
        error_ = std::string("cannot create an epoll for relay commands: ") + std::strerror(errno);
    }
}

RelayCommands::~RelayCommands() {
    for (Pending& pending : pending_) {
        Close(pending);
    }
    if (epoll_ >= 0) {
        close(epoll_);
    }
}

void RelayCommands::Close(Pending& pending) {
    if (pending.socket >= 0) {
        close(pending.socket);  // leaves the epoll with it
        pending.socket = -1;
    }
}

std::optional<SettledCommand> RelayCommands::Send(const RelayRequest& request,
                                                  const FleetPoller& poller, Time now) {
    const StationSetup& setup = poller.Setup(request.station);
    SettledCommand command{setup.id, request, CommandOutcome::Busy, ""};
    const bool same = std::any_of(pending_.begin(), pending_.end(), [&](const Pending& p) {
        return p.command.stationId == setup.id && p.command.request.relay == request.relay;
    });
    if (same || pending_.size() >= kMostInFlight) {
        command.why =
            same ? "a command for this relay is in flight" : "too many commands in flight";
        return command;
    }
    command.outcome = CommandOutcome::NoAnswer;
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = htons(setup.port);
    target.sin_addr.s_addr = htonl(setup.address);
    CommandPacket packet;
    BuildRelayCommand(packet, setup.password, request.relay, request.action, request.toggleSeconds);
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = fd;
    if (fd < 0 || epoll_ < 0 || inet_pton(AF_INET, bindAddress_.c_str(), &local.sin_addr) != 1 ||
        bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0 ||
        sendto(fd, packet.bytes.data(), wire::kCommandFrameSize, 0,
               reinterpret_cast<const sockaddr*>(&target), sizeof target) < 0 ||
        epoll_ctl(epoll_, EPOLL_CTL_ADD, fd, &event) != 0) {
        command.why = std::string("cannot send: ") + std::strerror(errno);
        if (fd >= 0) {
            close(fd);
        }
        return command;
    }
    Pending pending;
    pending.command = std::move(command);
    pending.socket = fd;
    pending.address = setup.address;
    pending.port = setup.port;
    // A toggle switches the relay on, in the unit's word, for its seconds.
    pending.wantUnitOn = request.action != RelayAction::Off;
    pending.receivedAtSend = poller.Status(request.station).received;
    pending.replyBy = now + setup.timeout;
    pending.settleBy = now + 2 * (setup.interval + setup.timeout);
    pending_.push_back(std::move(pending));
    return std::nullopt;
}

void RelayCommands::OnReadable() {
    epoll_event events[kMostInFlight];
    const int ready = epoll_wait(epoll_, events, static_cast<int>(kMostInFlight), 0);
    for (int i = 0; i < ready; ++i) {
        const auto found = std::find_if(pending_.begin(), pending_.end(), [&](const Pending& p) {
            return p.socket == events[i].data.fd;
        });
        if (found != pending_.end()) {
            Receive(*found);
        }
    }
}

void RelayCommands::Receive(Pending& pending) {
    ReplyBuffer reply{};
    for (;;) {
        sockaddr_in from{};
        socklen_t fromSize = sizeof from;
        const ssize_t size = recvfrom(pending.socket, reply.data(), reply.size(), 0,
                                      reinterpret_cast<sockaddr*>(&from), &fromSize);
        if (size < 0) {
            return;  // nothing more, or an ICMP error: the time decides
        }
        if (ntohl(from.sin_addr.s_addr) != pending.address ||
            ntohs(from.sin_port) != pending.port) {
            continue;  // not the unit's
        }
        std::fill(reply.begin() + size, reply.end(), 0);
        pending.replied = true;
        const ReplyKind kind = ClassifyReply(reply);
        if (kind == ReplyKind::PasswordRefused) {
            pending.outcome = CommandOutcome::Refused;
            pending.command.why = "the unit refused the password";
        } else if (kind == ReplyKind::ReturnMessage) {
            pending.outcome = CommandOutcome::Refused;
            pending.command.why = "the unit answered " + CodeText(reply[wire::kReplyTypeOffset]);
        } else if (const StatusRecord record = DecodeStatusRecord(reply);
                   kind == ReplyKind::Status &&
                   IsValidStatusRecord(record, static_cast<std::size_t>(size)) &&
                   Shows(record, pending.command.request.relay, pending.wantUnitOn)) {
            pending.outcome = CommandOutcome::Done;
            pending.command.why = "its reply shows it";
        }
        Close(pending);  // one reply is all a command gets
        return;
    }
}

std::vector<SettledCommand> RelayCommands::Settle(const FleetPoller& poller, Time now) {
    std::vector<SettledCommand> settled;
    for (Pending& pending : pending_) {
        const std::size_t index = pending.command.request.station;
        const bool same =
            index < poller.Size() && poller.Setup(index).id == pending.command.stationId;
        if (!same && !pending.outcome) {
            pending.outcome = CommandOutcome::NoAnswer;
            pending.command.why = "the station was reloaded";
        }
        if (pending.outcome) {
            continue;
        }
        // A refusal comes in reply; until its time is up, a status record
        // polled before the command arrived could show an old state.
        const StationStatus& status = poller.Status(index);
        const bool newer = status.received > pending.receivedAtSend;
        if ((pending.replied || now >= pending.replyBy) && newer && status.record &&
            Shows(*status.record, pending.command.request.relay, pending.wantUnitOn)) {
            pending.outcome = CommandOutcome::Done;
            pending.command.why = "the next status shows it";
        } else if (now >= pending.settleBy) {
            const bool heard = pending.replied || newer;
            pending.outcome = heard ? CommandOutcome::Refused : CommandOutcome::NoAnswer;
            pending.command.why =
                heard ? "the unit answers but its status does not show it" : "the unit is silent";
        }
    }
    for (auto it = pending_.begin(); it != pending_.end();) {
        if (it->outcome) {
            it->command.outcome = *it->outcome;
            settled.push_back(std::move(it->command));
            Close(*it);
            it = pending_.erase(it);
        } else {
            ++it;
        }
    }
    return settled;
}

}  // namespace varnex::fleet
