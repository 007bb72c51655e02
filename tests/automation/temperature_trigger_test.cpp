#include "automation/temperature_trigger.h"

#include "trigger_test_support.h"

namespace varnex {
namespace {

using testing::Bytes;

constexpr PickedScript Row(int row) {
    return PickedScript{row, false};
}

struct TemperatureRules : testing::RulesFixture {
    ScriptAction Upload(const TemperatureChoice& choice) {
        return UploadTemperatureTrigger(harness.session, Hooks(), choice);
    }
};

TEST_F(TemperatureRules, UploadPutsTheSettingOnTheWire) {
    struct Case {
        const char* what;
        TemperatureChoice choice;
        Bytes bytes;  // 20..25
    };
    const std::vector<Case> cases = {
        {"30 over 20, rows 1 and 2", {false, Row(0), Row(1), 30, 20}, {1, 0x00, 0x20, 30, 20, '*'}},
        {"the full range, rows 8 and 3",
         {false, Row(7), Row(2), 50, 0},
         {1, 0xE0, 0x40, 50, 0, '*'}},
        {"off, nothing chosen", {true, {}, {}, 25, 25}, {0, 0, 0, 0, 0, '*'}},
        {"off, scripts chosen", {true, Row(3), Row(4), 40, 10}, {0, 0, 0, 0, 0, '*'}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Upload(c.choice), ScriptAction::Sent) << c.what;
        EXPECT_EQ(NextParameters('P', 6), c.bytes) << c.what;
    }
    EXPECT_TRUE(Messages().empty());
}

TEST_F(TemperatureRules, ChecksComeInOrderAndSendNothing) {
    const PickedScript empty{0, true};
    struct Case {
        const char* what;
        TemperatureChoice choice;
        const char* text;
    };
    const std::vector<Case> cases = {
        {"nothing chosen, thresholds equal too",
         {false, {}, {}, 25, 25},
         "Choose a Relay Script to execute when the\r\ntemperature is greater than your chosen "
         "threshold !"},
        {"upper script empty", {false, empty, {}, 30, 20}, "Empty Script Not Allowed !"},
        {"no lower script",
         {false, Row(0), {}, 30, 20},
         "Choose a Relay Script to execute when the\r\ntemperature is lower than your chosen "
         "threshold !"},
        {"lower script empty", {false, Row(0), empty, 30, 20}, "Empty Script Not Allowed !"},
        {"both at 25",
         {false, Row(0), Row(1), 25, 25},
         "There should be at least one degree difference\r\nbetween the two temperature "
         "thresholds !"},
        {"upper 20, lower 25",
         {false, Row(0), Row(1), 20, 25},
         "The top slider should be GREATER than the bottom slider !"},
    };
    const std::string sentBefore = SentCount();
    for (const Case& c : cases) {
        EXPECT_EQ(Upload(c.choice), ScriptAction::Refused) << c.what;
    }
    EXPECT_EQ(SentCount(), sentBefore);
    ASSERT_EQ(Messages().size(), cases.size());
    for (std::size_t k = 0; k < cases.size(); ++k) {
        EXPECT_EQ(Messages()[k].text, cases[k].text) << cases[k].what;
        EXPECT_EQ(Messages()[k].icon, MessageIcon::Exclamation) << cases[k].what;
        EXPECT_EQ(Messages()[k].caption, "") << cases[k].what;
        EXPECT_EQ(Messages()[k].owner, MessageOwner::ActiveDialog) << cases[k].what;
    }
}

TEST_F(TemperatureRules, ResetSendsTAtOnce) {
    EXPECT_EQ(ResetTemperatureSensor(harness.session), ScriptAction::Sent);
    NextParameters('T', 1);
}

TEST(TemperatureReadout, FahrenheitOfTheCelsiusField) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"0", " 32.0"},    {"23", " 73.4"}, {"50", " 122.0"},
        {"100", " 212.0"}, {"", " 32.0"},   {"abc", " 32.0"},
        {"-5", " 32.0"},   {"2x", " 32.0"}, {"99999999999", " 32.0"},
    };
    for (const auto& [celsius, fahrenheit] : cases) {
        EXPECT_EQ(FahrenheitText(celsius), fahrenheit) << celsius;
    }
}

TEST(TemperatureReadout, CurrentTemperatureLine) {
    EXPECT_EQ(CurrentTemperatureText("21.5", " 70.7"),
              "Current Temperature: ( 21.5 \u00B0C     70.7 \u00B0F  )");
    EXPECT_EQ(CurrentTemperatureText("-20.5", " -4.9"),
              "Current Temperature: ( -20.5 \u00B0C     -4.9 \u00B0F  )");
    // The main window's texts are read ten characters at most.
    EXPECT_EQ(CurrentTemperatureText("12345678901", "x"),
              "Current Temperature: ( 1234567890 \u00B0C    x \u00B0F  )");
}

TEST(TemperatureReadout, FieldColoursFollowTheNumberAndTheSlider) {
    struct Case {
        const char* celsius;
        int slider;
        Rgb text;
        Rgb background;
    };
    const Rgb black{0, 0, 0};
    const Rgb yellow{255, 255, 0};
    const std::vector<Case> cases = {
        {"0", 0, black, {0, 255, 255}},     {"9", 9, black, {45, 210, 210}},
        {"10", 10, yellow, {50, 205, 205}}, {"50", 50, yellow, {250, 5, 5}},
        {"35", 0, yellow, {0, 255, 255}},  // a typed number colours the text only
    };
    for (const Case& c : cases) {
        const ThresholdColours colours = ThresholdFieldColours(c.celsius, c.slider);
        EXPECT_EQ(colours.text, c.text) << c.celsius;
        EXPECT_EQ(colours.background, c.background) << c.celsius;
    }
}

TEST(TemperatureOpening, FromTheLastStatusRecord) {
    struct Case {
        const char* what;
        std::array<uint8_t, 5> setting;
        ReportedTemperatureTrigger expected;
    };
    const std::vector<Case> cases = {
        {"off", {0, 0x20, 0x40, 30, 20}, {false, false, 30, 20, 1, 2}},
        {"on", {1, 0x20, 0x40, 30, 20}, {true, true, 30, 20, 1, 2}},
        {"another non-zero mode", {7, 0x00, 0xE0, 12, 3}, {true, false, 12, 3, 0, 7}},
        {"out of range", {1, 0x05, 0xFF, 200, 51}, {true, true, 50, 50, {}, {}}},
    };
    for (const Case& c : cases) {
        StatusSnapshot snapshot;
        snapshot.temperatureTrigger = c.setting;
        const ReportedTemperatureTrigger r = ReportedTemperature(snapshot);
        EXPECT_EQ(r.executeOn, c.expected.executeOn) << c.what;
        EXPECT_EQ(r.enabled, c.expected.enabled) << c.what;
        EXPECT_EQ(r.upper, c.expected.upper) << c.what;
        EXPECT_EQ(r.lower, c.expected.lower) << c.what;
        EXPECT_EQ(r.upperRow, c.expected.upperRow) << c.what;
        EXPECT_EQ(r.lowerRow, c.expected.lowerRow) << c.what;
    }
}

TEST(TemperatureOpening, ResetFromFirmware174) {
    StatusSnapshot snapshot;
    snapshot.firmwareVersion = 173;
    EXPECT_FALSE(TemperatureResetVisible(snapshot));
    snapshot.firmwareVersion = 174;
    EXPECT_TRUE(TemperatureResetVisible(snapshot));
}

}  // namespace
}  // namespace varnex
