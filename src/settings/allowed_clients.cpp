#include "settings/allowed_clients.h"

#include "protocol/address_bytes.h"
#include "session/session.h"

namespace varnex {
namespace {

constexpr const char* kQuestionCaption = "Change Allowable IP state?";

}  // namespace

AllowedClients ReportedAllowedClients(const StatusSnapshot& snapshot) {
    const auto& block = snapshot.allowedClients;
    AllowedClients reported;
    reported.onlyListed = block[0] != 0;
    for (std::size_t n = 0; n < reported.addresses.size(); ++n) {
        reported.addresses[n] = ReadAddressBytes(&block[1 + n * kAddressBytes]);
    }
    return reported;
}

DialogOutcome SendAllowedClients(Session& session, const PlatformHooks& hooks,
                                 const AllowedClients& choice, bool firstAddressComplete) {
    if (choice.onlyListed && !firstAddressComplete) {
        ShowInvalidAddress(hooks);
        return DialogOutcome::StaysOpen;
    }
    const char* question = choice.onlyListed ? "Only Allow certain IP addresses to connect?"
                                             : "Allow ALL IP addresses to connect?";
    if (!Confirmed(hooks, question, kQuestionCaption)) {
        return DialogOutcome::StaysOpen;
    }
    BuildAllowedClientsCommand(session.command(), session.station().password, choice.onlyListed,
                               choice.addresses);
    session.SendPacket();
    return DialogOutcome::Closes;
}

}  // namespace varnex
