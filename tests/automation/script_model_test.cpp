#include "automation/script_model.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace varnex {
namespace {

using Steps = std::vector<std::string>;

TEST(ScriptModelTest, EncodesCodesAndName) {
    const std::string blanks16(16, ' ');
    Steps twenty = {"Relay 1 ON",      "Relay 1 OFF",     "Relay 2 ON",     "Relay 2 OFF",
                    "Relay 3 ON",      "Relay 3 OFF",     "Delay 1 Second", "Delay 2 Seconds",
                    "Delay 3 Seconds", "Delay 4 Seconds", "Delay 5 Seconds"};
    twenty.resize(20, "Relay 1 ON");
    const std::tuple<Steps, std::string, std::string> cases[] = {
        {{"Relay 1 ON", "Delay 2 Seconds"},
         "Pump",
         "18" + std::string(14, ' ') + "Pump" + std::string(12, ' ')},
        {twenty, "All", "123456789AB11111All" + std::string(13, ' ')},  // sixteen steps sent
        {{"Relay 2 OFF"}, "ABCDEFGHIJKLMNOPQRST", "4" + std::string(15, ' ') + "ABCDEFGHIJKLMNO "},
        {{"Relay 3 ON"}, "", "5" + std::string(15, ' ')},  // an empty name adds nothing
        {{"relay 1 on", "Relay 1 ON "}, "x", blanks16 + "x" + std::string(15, ' ')},  // exact texts
    };
    for (const auto& [steps, name, record] : cases) {
        EXPECT_EQ(EncodeScriptRecord(steps, name), record) << name;
    }
}

TEST(ScriptModelTest, DecodesUpToBlankOrSixteenSkippingStrangers) {
    const std::pair<std::string, Steps> cases[] = {
        {"18" + std::string(14, ' '), {"Relay 1 ON", "Delay 2 Seconds"}},
        {" 1234", {}},
        {"1Z2", {"Relay 1 ON", "Relay 1 OFF"}},
        {"11111111111111112", Steps(16, "Relay 1 ON")},
    };
    for (const auto& [codes, steps] : cases) {
        EXPECT_EQ(DecodeScriptSteps(codes), steps) << codes;
    }
}

TEST(ScriptModelTest, OnlyMultiplesOf32NameASlot) {
    for (int byte = 0; byte < 256; ++byte) {
        const int expected = byte % 32 == 0 ? byte / 32 : -1;
        EXPECT_EQ(SlotIndex(static_cast<uint8_t>(byte)), expected) << byte;
    }
}

TEST(ScriptModelTest, StoresTheTableFromAReply) {
    ReplyBuffer reply{};
    reply[13] = 2;
    const auto put = [&](std::size_t offset, const std::string& text) {
        std::memcpy(reply.data() + offset, text.data(), text.size());
    };
    put(14, "1111111111111111");  // 16 codes, then the name right after
    put(30, "SixteenCharName!");  // 16 non-blank characters
    put(30 + 32, "Pump" + std::string(12, ' '));
    put(30 + 64, std::string("Ab\0cd", 5));  // zero ends the name early
    put(14 + 7 * 32, "B");
    put(30 + 7 * 32, "Last");
    ScriptTable table;
    table[3].name = "old";
    StoreScriptTable(table, reply);
    EXPECT_EQ(DecodeScriptSteps(table[0].codes), Steps(16, "Relay 1 ON"));
    EXPECT_EQ(table[0].name, "SixteenCharName!");
    EXPECT_EQ(table[1].name, "Pump" + std::string(12, ' '));
    EXPECT_EQ(table[2].name, "Ab");
    EXPECT_EQ(table[3].name, "");
    EXPECT_EQ(table[7].codes, "B");
    EXPECT_EQ(table[7].name, "Last");
}

}  // namespace
}  // namespace varnex
