#include "ui/temperature_control_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>

#include "script_dialog_fixture.h"
#include "ui/script_picker.h"

namespace varnex {
namespace {

using Group = TemperatureControlDialog::Group;
constexpr Group kUpper = TemperatureControlDialog::kUpper;
constexpr Group kLower = TemperatureControlDialog::kLower;
using Setting = std::array<uint8_t, 5>;
const Setting kOff = {0, 0, 0, 0, 0};
const Setting kOn = {1, 0x20, 0x00, 30, 20};  // Heater above 30, Fan on below 20

class TemperatureControlTest : public ScriptDialogTest {
  protected:
    void SetUp() override {
        ScriptDialogTest::SetUp();
        StoreScript(0, "1", "Fan on");
        StoreScript(1, "27", "Heater");
    }
    void TearDown() override { dialog.reset(); }

    // Opens the dialog on the unit's setting as the last poll reported it.
    void Open(const Setting& setting) {
        unit_.State().temperatureTrigger = setting;
        Poll();
        dialog = std::make_unique<TemperatureControlDialog>(context, nullptr);
        dialog->show();
        ASSERT_TRUE(TableShown());
    }
    void Click(const char* name) { ClickButton(dialog.get(), name); }
    QListWidget* names(Group g) { return dialog->picker(g).names(); }
    QString Celsius(Group g) { return dialog->celsius(g)->text(); }
    QColor FieldColour(Group g, QPalette::ColorRole role) {
        return dialog->celsius(g)->palette().color(role);
    }
    bool ReadoutShows(Group g, const QString& text) {
        return PumpUntil([&] { return dialog->fahrenheit(g)->text() == text; }, kDialogWaitMs);
    }

    std::unique_ptr<TemperatureControlDialog> dialog;
};

TEST_F(TemperatureControlTest, OpensOffAtZeroAndFollowsTypedDegrees) {
    Open(kOff);
    EXPECT_EQ(dialog->windowTitle(), "Temperature Control");
    EXPECT_TRUE(dialog->disableOption()->isChecked());
    EXPECT_EQ(dialog->executeOption()->text(),
              "Execute a relay script when temperature thresholds are reached.");
    for (const Group g : {kUpper, kLower}) {
        EXPECT_FALSE(dialog->slider(g)->isEnabled());
        EXPECT_FALSE(names(g)->isEnabled());
        EXPECT_EQ(dialog->slider(g)->maximum(), 50);
        EXPECT_EQ(Celsius(g), "0");
        EXPECT_FALSE(dialog->picker(g).SelectedRow().has_value());
        EXPECT_EQ(FieldColour(g, QPalette::Base), QColor(0, 255, 255));
    }
    EXPECT_EQ(dialog->fahrenheit(kUpper)->text(), "32.0");
    EXPECT_TRUE(ReadoutShows(kUpper, " 32.0"));
    EXPECT_EQ(dialog->currentTemperature()->text(),
              QString::fromUtf8("Current Temperature: ( 21.5 \u00B0C     70.7 \u00B0F  )"));
    Shoot(*dialog, "temperature_control_off");

    // Typed degrees change the readout and the colours, not the slider.
    dialog->celsius(kUpper)->selectAll();
    QTest::keyClicks(dialog->celsius(kUpper), "12");
    EXPECT_TRUE(ReadoutShows(kUpper, " 53.6"));
    EXPECT_EQ(FieldColour(kUpper, QPalette::Text), QColor(255, 255, 0));
    EXPECT_EQ(dialog->slider(kUpper)->value(), 0);
}

TEST_F(TemperatureControlTest, OpensOnWithTheReportedSetting) {
    Open(kOn);
    EXPECT_TRUE(dialog->executeOption()->isChecked());
    EXPECT_EQ(dialog->slider(kUpper)->value(), 30);
    EXPECT_EQ(Celsius(kLower), "20");
    EXPECT_EQ(dialog->fahrenheit(kUpper)->text(), " 86.0");
    EXPECT_EQ(dialog->picker(kUpper).SelectedRow(), 1);
    EXPECT_EQ(dialog->picker(kLower).SelectedRow(), 0);
    EXPECT_EQ(Texts(dialog->picker(kUpper).steps()),
              (QStringList{"Relay 1 OFF", "Delay 1 Second"}));
    EXPECT_EQ(FieldColour(kUpper, QPalette::Base), QColor(150, 105, 105));
    Shoot(*dialog, "temperature_control_on");
}

TEST_F(TemperatureControlTest, UploadSendsTheSlidersAndTheChosenScriptsOnceApart) {
    Open(kOff);
    ClickNearLeft(dialog->executeOption());
    EXPECT_TRUE(names(kUpper)->isEnabled());
    ClickRow(names(kUpper), 0);
    ClickRow(names(kLower), 1);
    dialog->slider(kUpper)->setValue(25);
    dialog->slider(kLower)->setValue(25);
    Click("uploadButton");
    EXPECT_EQ(testing::MessageLines(recorder.messages),
              std::vector<std::string>{"There should be at least one degree difference\r\n"
                                       "between the two temperature thresholds !||exclamation|"
                                       "dialog"});
    EXPECT_TRUE(dialog->isVisible());

    dialog->slider(kUpper)->setValue(30);
    dialog->slider(kLower)->setValue(20);
    EXPECT_EQ(Celsius(kUpper), "30");
    Click("uploadButton");
    EXPECT_FALSE(dialog->isVisible());
    ASSERT_TRUE(PumpUntil([this] { return !recorder.popups.empty(); }, kDialogWaitMs));
    EXPECT_EQ(recorder.popups[0].second, "Temperature Data Received !");
    EXPECT_EQ(unit_.State().temperatureTrigger, (Setting{1, 0x00, 0x20, 30, 20}));
}

TEST_F(TemperatureControlTest, SwitchingOffClearsTheGroupsAndSendsFiveZeros) {
    Open(kOn);
    ClickNearLeft(dialog->disableOption());
    for (const Group g : {kUpper, kLower}) {
        EXPECT_EQ(dialog->slider(g)->value(), 0);
        EXPECT_EQ(Celsius(g), "0");
        EXPECT_EQ(dialog->picker(g).steps()->count(), 0);
        EXPECT_FALSE(names(g)->isEnabled());
    }
    Click("uploadButton");
    EXPECT_FALSE(dialog->isVisible());
    ASSERT_TRUE(
        PumpUntil([this] { return unit_.State().temperatureTrigger == Setting{}; }, kDialogWaitMs));
}

TEST_F(TemperatureControlTest, ResetNeedsFirmware174) {
    unit_.State().firmware = {1, 7, 3};
    Open(kOff);
    EXPECT_FALSE(dialog->findChild<QPushButton*>("resetButton")->isVisible());
    dialog.reset();

    unit_.State().firmware = {1, 7, 4};
    Open(kOff);
    Click("resetButton");
    EXPECT_FALSE(dialog->isVisible());
    ASSERT_TRUE(PumpUntil([this] { return !recorder.popups.empty(); }, kDialogWaitMs));
    EXPECT_EQ(recorder.popups[0].second, "I2C Bus Reset!");
}

}  // namespace
}  // namespace varnex
