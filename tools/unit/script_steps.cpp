#include "unit/script_steps.h"

#include <algorithm>

#include "protocol/script_record.h"

namespace varnex::unit {
namespace {

// The client's vocabulary lists each relay's ON then OFF, relay 1 first,
// then the delays of one to five seconds; the unit reads a code by its place.
constexpr std::size_t kRelaySteps = 2 * wire::kRelayCount;
static_assert(kStepVocabulary[0].text == "Relay 1 ON" && kStepVocabulary[5].text == "Relay 3 OFF");
static_assert(kStepVocabulary[kRelaySteps].text == "Delay 1 Second" &&
              kStepVocabulary.size() == kRelaySteps + 5);

}  // namespace

StepAction StepFromCode(uint8_t code) {
    if (code == ' ') {
        return {StepKind::End};
    }
    const auto found = std::find_if(kStepVocabulary.begin(), kStepVocabulary.end(),
                                    [code](const ScriptStep& step) { return step.code == code; });
    if (found == kStepVocabulary.end()) {
        return {StepKind::Unknown};
    }
    const auto index = static_cast<std::size_t>(found - kStepVocabulary.begin());
    if (index < kRelaySteps) {
        return {StepKind::Relay, index / 2, index % 2 == 0};
    }
    return {StepKind::Delay, 0, false, static_cast<int>(index - kRelaySteps + 1)};
}

}  // namespace varnex::unit
