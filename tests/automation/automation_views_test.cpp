// What the script, timer, trigger and daughter-board dialogs show: script
// records and tables, the reported settings they open on, readouts and panels.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "automation/daughter_boards.h"
#include "automation/io_trigger.h"
#include "automation/relay_scripts.h"
#include "automation/relay_timer.h"
#include "protocol/script_record.h"
#include "automation/temperature_trigger.h"

namespace varnex {
namespace {

using Texts = std::vector<std::string>;

TEST(ScriptModel, EncodesCodesAndName) {
    const std::string blanks16(16, ' ');
    Texts twenty = {"Relay 1 ON",      "Relay 1 OFF",     "Relay 2 ON",     "Relay 2 OFF",
                    "Relay 3 ON",      "Relay 3 OFF",     "Delay 1 Second", "Delay 2 Seconds",
                    "Delay 3 Seconds", "Delay 4 Seconds", "Delay 5 Seconds"};
    twenty.resize(20, "Relay 1 ON");
    const std::tuple<Texts, std::string, std::string> cases[] = {
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

TEST(ScriptModel, DecodesUpToBlankOrSixteenSkippingStrangers) {
    const std::pair<std::string, Texts> cases[] = {
        {"18" + std::string(14, ' '), {"Relay 1 ON", "Delay 2 Seconds"}},
        {" 1234", {}},
        {"1Z2", {"Relay 1 ON", "Relay 1 OFF"}},
        {"11111111111111112", Texts(16, "Relay 1 ON")},
    };
    for (const auto& [codes, steps] : cases) {
        EXPECT_EQ(DecodeScriptSteps(codes), steps) << codes;
    }
}

TEST(ScriptModel, OnlyMultiplesOf32NameASlotAndRowsZeroToSevenHaveOne) {
    for (int byte = 0; byte < 256; ++byte) {
        EXPECT_EQ(SlotIndex(static_cast<uint8_t>(byte)), byte % 32 == 0 ? byte / 32 : -1) << byte;
    }
    EXPECT_EQ(ChosenSlotByte(7), uint8_t{0xE0});
    EXPECT_FALSE(ChosenSlotByte(8).has_value());
    EXPECT_FALSE(ChosenSlotByte(-1).has_value());
}

TEST(ScriptModel, StoresTheTableFromAReply) {
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
    Texts slots;
    for (const ScriptSlot& slot : table) {
        slots.push_back(slot.codes + "|" + slot.name);
    }
    EXPECT_EQ(slots, (Texts{"1111111111111111|SixteenCharName!", "|Pump            ", "|Ab", "|",
                            "|", "|", "|", "B|Last"}));
}

TEST(TimerFields, TheListsOfferTwoDigitValuesUpToTheLargest) {
    const Texts days = TimerFieldValues(kTimerFields[0]);
    ASSERT_EQ(days.size(), 31u);
    EXPECT_EQ(std::tuple(days[0], days[9], days.back()), std::tuple("00", "09", "30"));
    EXPECT_EQ(TimerFieldValues(kTimerFields[1]).back(), "23");
    EXPECT_EQ(TimerFieldValues(kTimerFields[3]).size(), 60u);
}

TEST(IoOpening, FromThePinsThreeBytes) {
    StatusSnapshot snapshot;
    snapshot.ioTrigger = {0, 0, 0, 1, 0x40, 0x60, 2, 0x00, 0xE0, 0, 0, 0, 1, 0x11, 0x20};
    using Fields = std::tuple<bool, bool, std::optional<int>, std::optional<int>>;
    const std::pair<int, Fields> cases[] = {
        {1, {false, false, 0, 0}},
        {2, {true, true, 2, 3}},
        {3, {true, false, 0, 7}},
        {5, {true, true, std::nullopt, 1}},
        {6, {false, false, std::nullopt, std::nullopt}},  // no such pin
    };
    for (const auto& [pin, expected] : cases) {
        const ReportedIoTrigger r = ReportedIo(snapshot, pin);
        EXPECT_EQ(Fields(r.executeOn, r.enabled, r.rowForZero, r.rowForOne), expected) << pin;
    }
}

TEST(TemperatureOpening, FromTheLastStatusRecord) {
    using Fields = std::tuple<bool, bool, int, int, std::optional<int>, std::optional<int>>;
    const std::tuple<const char*, std::array<uint8_t, 5>, Fields> cases[] = {
        {"off", {0, 0x20, 0x40, 30, 20}, {false, false, 30, 20, 1, 2}},
        {"another non-zero mode", {7, 0x00, 0xE0, 12, 3}, {true, false, 12, 3, 0, 7}},
        {"out of range", {1, 0x05, 0xFF, 200, 51}, {true, true, 50, 50, {}, {}}},
    };
    for (const auto& [what, setting, expected] : cases) {
        StatusSnapshot snapshot;
        snapshot.temperatureTrigger = setting;
        const ReportedTemperatureTrigger r = ReportedTemperature(snapshot);
        EXPECT_EQ(Fields(r.executeOn, r.enabled, r.upper, r.lower, r.upperRow, r.lowerRow),
                  expected)
            << what;
    }
    StatusSnapshot snapshot;
    snapshot.firmwareVersion = 173;
    EXPECT_FALSE(TemperatureResetVisible(snapshot));
    snapshot.firmwareVersion = 174;
    EXPECT_TRUE(TemperatureResetVisible(snapshot));
}

TEST(TemperatureReadout, FahrenheitOfTheCelsiusFieldAndTheCurrentTemperatureLine) {
    // Text that is no unsigned whole number, too large ones included, reads as 0.
    const std::pair<std::string, std::string> cases[] = {
        {"23", " 73.4"}, {"50", " 122.0"}, {"", " 32.0"},
        {"-5", " 32.0"}, {"2x", " 32.0"},  {"99999999999", " 32.0"},
    };
    for (const auto& [celsius, fahrenheit] : cases) {
        EXPECT_EQ(FahrenheitText(celsius), fahrenheit) << celsius;
    }
    EXPECT_EQ(CurrentTemperatureText("21.5", " 70.7"),
              "Current Temperature: ( 21.5 \u00B0C     70.7 \u00B0F  )");
    // The main window's texts are read ten characters at most.
    EXPECT_EQ(CurrentTemperatureText("12345678901", "x"),
              "Current Temperature: ( 1234567890 \u00B0C    x \u00B0F  )");
}

TEST(TemperatureReadout, FieldColoursFollowTheNumberAndTheSlider) {
    const Rgb black{0, 0, 0};
    const Rgb yellow{255, 255, 0};
    const std::tuple<const char*, int, Rgb, Rgb> cases[] = {
        {"9", 9, black, {45, 210, 210}},
        {"10", 10, yellow, {50, 205, 205}},
        {"50", 50, yellow, {250, 5, 5}},
        {"35", 0, yellow, {0, 255, 255}},  // a typed number colours the text only
    };
    for (const auto& [celsius, slider, text, background] : cases) {
        const ThresholdColours colours = ThresholdFieldColours(celsius, slider);
        EXPECT_EQ(std::pair(colours.text, colours.background), std::pair(text, background))
            << celsius;
    }
}

TEST(BoardChooser, OffersDetectedBoardsOnly) {
    using Presence = std::array<uint8_t, 6>;
    using Enabled = std::array<bool, 6>;
    const std::tuple<Presence, Enabled, bool> cases[] = {
        {{0, 0, 0, 0, 0, 0}, {}, true},
        {{0, 0xFF, 0, 0, 0xFF, 0}, {false, true, false, false, true, false}, false},
        // Neither detected nor absent: not offered, and not "none" either.
        {{0, 0, 0x01, 0, 0, 0}, {}, false},
    };
    for (const auto& [presence, enabled, noBoardsShown] : cases) {
        StatusSnapshot snapshot;
        std::copy(presence.begin(), presence.end(), snapshot.boards.begin());
        const BoardChooserView view = ChooseBoards(snapshot);
        EXPECT_EQ(std::pair(view.boardEnabled, view.noBoardsShown),
                  std::pair(enabled, noBoardsShown));
    }
}

TEST(BoardPanel, StateBitsChoosePicturesAndButtons) {
    // The state byte, and which elements it puts at rest (relays on NC, the output off).
    const std::pair<uint8_t, std::string> cases[] = {
        {0x7F, "1111111"}, {0x15, "1010100"}, {0x00, "0000000"}, {0x80, "0000000"}};
    for (const auto& [state, atRest] : cases) {
        StatusSnapshot snapshot;
        snapshot.boards[6 + 3] = state;  // board 4's state byte
        snapshot.boards[6 + 2] = 0x55;   // board 3 must not count
        BoardPanelView expected;
        for (std::size_t e = 0; e < kBoardElementCount; ++e) {
            const bool rest = atRest[e] == '1';
            expected[e] = {rest, !rest, rest};
        }
        EXPECT_EQ(RefreshBoardPanel(snapshot, 4, BoardPanelMemory{}), expected) << int(state);
    }
}

TEST(BoardPanel, TheCountdownShowsOnTheLastPressedToggleOnly) {
    StatusSnapshot snapshot;
    snapshot.boards[12] = 5;
    const auto captions = [&](int lastElement) {
        Texts texts;
        for (const BoardElementView& e : RefreshBoardPanel(snapshot, 1, {lastElement})) {
            texts.push_back(e.toggleCaption);
        }
        return texts;
    };
    EXPECT_EQ(captions(2),
              (Texts{"Toggle", "5", "Toggle", "Toggle", "Toggle", "Toggle", "Toggle"}));
    EXPECT_EQ(captions(7),
              (Texts{"Toggle", "Toggle", "Toggle", "Toggle", "Toggle", "Toggle", "5"}));
    snapshot.boards[12] = 0;
    EXPECT_EQ(captions(2), Texts(7, "Toggle"));
}

TEST(BoardPanel, CaptionsAndTitles) {
    EXPECT_EQ(BoardPanelTitle(6), "Relay Daughter Board 6 Control");
    EXPECT_EQ(BoardButtonLabel(3), "RDB 3");
    EXPECT_EQ(ElementLabel(1), "Relay 1");
    EXPECT_EQ(ElementLabel(7), "150 ma Output");
    EXPECT_EQ(std::string(RestCaption(6)) + WorkCaption(6).data(), "NCNO");
    EXPECT_EQ(std::string(RestCaption(7)) + WorkCaption(7).data(), "OFFON");
}

}  // namespace
}  // namespace varnex
