#include "automation/temperature_trigger.h"

#include <tuple>

#include "rules_fixture.h"

namespace varnex {
namespace {

using testing::Bytes;
using testing::Row;
using testing::Texts;

struct TemperatureRules : testing::RulesFixture {
    ScriptAction Upload(const TemperatureChoice& choice) {
        return UploadTemperatureTrigger(harness.session, Hooks(), choice);
    }
};

TEST_F(TemperatureRules, UploadPutsTheSettingOnTheWire) {
    const std::pair<TemperatureChoice, Bytes> cases[] = {
        {{false, Row(0), Row(1), 30, 20}, {1, 0x00, 0x20, 30, 20, '*'}},
        {{false, Row(7), Row(2), 50, 0}, {1, 0xE0, 0x40, 50, 0, '*'}},  // the full range
        {{true, Row(3), Row(4), 40, 10}, {0, 0, 0, 0, 0, '*'}},         // off: nothing checked
    };
    for (const auto& [choice, bytes] : cases) {
        EXPECT_EQ(Upload(choice), ScriptAction::Sent);
        EXPECT_EQ(NextParameters('P', 6), bytes);
    }
    EXPECT_TRUE(harness.recorder.messages.empty());
}

TEST_F(TemperatureRules, ChecksComeInOrderAndSendNothing) {
    const PickedScript empty{0, true};
    const std::pair<TemperatureChoice, std::string> cases[] = {
        {{false, {}, {}, 25, 25},  // the thresholds are equal too
         "Choose a Relay Script to execute when the\r\ntemperature is greater than your chosen "
         "threshold !"},
        {{false, empty, {}, 30, 20}, "Empty Script Not Allowed !"},
        {{false, Row(0), {}, 30, 20},
         "Choose a Relay Script to execute when the\r\ntemperature is lower than your chosen "
         "threshold !"},
        {{false, Row(0), empty, 30, 20}, "Empty Script Not Allowed !"},
        {{false, Row(0), Row(1), 25, 25},
         "There should be at least one degree difference\r\nbetween the two temperature "
         "thresholds !"},
        {{false, Row(0), Row(1), 20, 25},
         "The top slider should be GREATER than the bottom slider !"},
    };
    for (const auto& [choice, text] : cases) {
        EXPECT_EQ(Upload(choice), ScriptAction::Refused) << text;
        EXPECT_EQ(TakeMessages(MessageIcon::Exclamation), Texts{text});
    }
    EXPECT_EQ(SentCount(), "1");
}

TEST_F(TemperatureRules, ResetSendsTAtOnce) {
    EXPECT_EQ(ResetTemperatureSensor(harness.session), ScriptAction::Sent);
    NextParameters('T', 1);
    EXPECT_TRUE(questions.empty());
}

TEST(TemperatureReadout, FahrenheitOfTheCelsiusField) {
    // Text that is no unsigned whole number, too large ones included, reads as 0.
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"23", " 73.4"}, {"50", " 122.0"}, {"", " 32.0"},
        {"-5", " 32.0"}, {"2x", " 32.0"},  {"99999999999", " 32.0"},
    };
    for (const auto& [celsius, fahrenheit] : cases) {
        EXPECT_EQ(FahrenheitText(celsius), fahrenheit) << celsius;
    }
}

TEST(TemperatureReadout, CurrentTemperatureLine) {
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
        EXPECT_EQ(colours.text, text) << celsius;
        EXPECT_EQ(colours.background, background) << celsius;
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
        {"another non-zero mode", {7, 0x00, 0xE0, 12, 3}, {true, false, 12, 3, 0, 7}},
        {"out of range", {1, 0x05, 0xFF, 200, 51}, {true, true, 50, 50, {}, {}}},
    };
    const auto fields = [](const ReportedTemperatureTrigger& r) {
        return std::tuple(r.executeOn, r.enabled, r.upper, r.lower, r.upperRow, r.lowerRow);
    };
    for (const Case& c : cases) {
        StatusSnapshot snapshot;
        snapshot.temperatureTrigger = c.setting;
        EXPECT_EQ(fields(ReportedTemperature(snapshot)), fields(c.expected)) << c.what;
    }
    StatusSnapshot snapshot;
    snapshot.firmwareVersion = 173;
    EXPECT_FALSE(TemperatureResetVisible(snapshot));
    snapshot.firmwareVersion = 174;
    EXPECT_TRUE(TemperatureResetVisible(snapshot));
}

}  // namespace
}  // namespace varnex
