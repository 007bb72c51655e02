#include "protocol/script_record.h"

#include <algorithm>

namespace varnex {
namespace {

std::string FieldText(const ReplyBuffer& reply, std::size_t offset) {
    const auto* first = reply.data() + offset;
    const auto* end = std::find(first, first + wire::kScriptFieldSize, uint8_t{0});
    return std::string(first, end);
}

}  // namespace

std::string EncodeScriptRecord(const std::vector<std::string>& steps, std::string_view name) {
    std::string record;
    for (const auto& step : steps) {
        if (record.size() == kScriptStepCount) {
            break;
        }
        const auto* found = std::find_if(kStepVocabulary.begin(), kStepVocabulary.end(),
                                         [&](const ScriptStep& s) { return s.text == step; });
        if (found != kStepVocabulary.end()) {
            record.push_back(found->code);
        }
    }
    record.resize(kScriptStepCount, ' ');
    if (!name.empty()) {
        record.append(name.substr(0, kScriptNameSent));
        record.resize(wire::kScriptRecordSize, ' ');
    }
    return record;
}

std::vector<std::string> DecodeScriptSteps(std::string_view codes) {
    std::vector<std::string> steps;
    for (const char c : codes.substr(0, kScriptStepCount)) {
        if (c == ' ') {
            break;
        }
        const auto* found = std::find_if(kStepVocabulary.begin(), kStepVocabulary.end(),
                                         [c](const ScriptStep& s) { return s.code == c; });
        if (found != kStepVocabulary.end()) {
            steps.emplace_back(found->text);
        }
    }
    return steps;
}

int SlotIndex(uint8_t slotByte) {
    return slotByte % wire::kScriptSlotStride == 0 ? slotByte / wire::kScriptSlotStride : -1;
}

void StoreScriptTable(ScriptTable& table, const ReplyBuffer& reply) {
    for (std::size_t k = 0; k < table.size(); ++k) {
        table[k].codes = FieldText(reply, wire::kScriptCodesOffset + wire::kScriptSlotStride * k);
        table[k].name = FieldText(reply, wire::kScriptNameOffset + wire::kScriptSlotStride * k);
    }
}

}  // namespace varnex
