// The dialogs that tie a relay script to a pin change or to temperature
// thresholds, opened on what the unit last reported.
#include "ui/automation/script_dialog_fixture.h"
#include "ui/automation/io_control_dialog.h"
#include "ui/automation/script_picker.h"
#include "ui/automation/temperature_control_dialog.h"

namespace varnex {
namespace {

using IoSetting = std::array<uint8_t, 3>;
using Group = TemperatureControlDialog::Group;
constexpr Group kUpper = TemperatureControlDialog::kUpper;
constexpr Group kLower = TemperatureControlDialog::kLower;
using Thresholds = std::array<uint8_t, 5>;
const Thresholds kHeaterAndFan = {1, 0x20, 0x00, 30, 20};  // Heater above 30, Fan on below 20

class TriggerDialogTest : public ScriptDialogTest {
  protected:
    void SetUp() override {
        ScriptDialogTest::SetUp();
        StoreScript(0, "1", "Fan on");
        StoreScript(1, "27", "Heater");
        StoreScript(7, "3A4", "Siren");
    }
    // A dialog opened once the unit has reported its current setting.
    template <typename Dialog, typename... Args>
    std::unique_ptr<Dialog> OpenOnReport(Args... args) {
        Poll();
        auto dialog = Show<Dialog>(args...);
        EXPECT_TRUE(TableShown());
        return dialog;
    }
    IoSetting UnitIo(int pin) const {
        IoSetting setting;
        std::copy_n(unit_.State().ioTriggers.begin() + 3 * (pin - 1), 3, setting.begin());
        return setting;
    }
};

TEST_F(TriggerDialogTest, IoControlOpensOffForThePinThenUploadAsksForBothScriptsAndSendsThem) {
    auto dialog = OpenOnReport<IoControlDialog>(3);
    EXPECT_EQ(Shown({dialog.get(), dialog->pinLabel(), dialog->disableOption()}),
              (QStringList{"I/O Control", "3", "Disable  I/O state change action."}));
    EXPECT_EQ(dialog->pinLabel()->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(dialog->pinLabel()->font().pixelSize(), 24);
    EXPECT_EQ(dialog->pinLabel()->font().family(), "Comic Sans MS");
    EXPECT_TRUE(dialog->disableOption()->isChecked());
    EXPECT_FALSE(dialog->forZero().names()->isEnabled());
    EXPECT_FALSE(dialog->forOne().names()->isEnabled());
    EXPECT_EQ(dialog->forZero().names()->count(), 8);
    EXPECT_FALSE(dialog->forZero().SelectedRow().has_value());
    Shoot(*dialog, "io_control_off");

    ClickNearLeft(dialog->executeOption());
    ClickRow(dialog->forOne().names(), 7);
    ClickButton(dialog.get(), "uploadButton");
    EXPECT_EQ(testing::MessageLines(recorder.messages),
              std::vector<std::string>{
                  "Choose a Relay Script to execute when I/O state changes to 0 !||exclamation|"
                  "dialog"});
    EXPECT_TRUE(dialog->isVisible());
    ClickRow(dialog->forZero().names(), 0);
    ClickButton(dialog.get(), "uploadButton");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(FirstPopup(), "I/O Data Received !");
    EXPECT_EQ(UnitIo(3), (IoSetting{1, 0x00, 0xE0}));
}

TEST_F(TriggerDialogTest, IoControlOpensOnWithTheReportedScriptsAndSwitchesOff) {
    std::ranges::copy(IoSetting{1, 0xE0, 0x00}, unit_.State().ioTriggers.begin() + 3 * (5 - 1));
    auto dialog = OpenOnReport<IoControlDialog>(5);
    EXPECT_TRUE(dialog->executeOption()->isChecked());
    EXPECT_TRUE(dialog->forZero().names()->isEnabled());
    EXPECT_EQ(dialog->forZero().SelectedRow(), 7);
    EXPECT_EQ(dialog->forOne().SelectedRow(), 0);
    EXPECT_EQ(Texts(dialog->forZero().steps()),
              (QStringList{"Relay 2 ON", "Delay 4 Seconds", "Relay 2 OFF"}));
    Shoot(*dialog, "io_control_on");

    ClickNearLeft(dialog->disableOption());
    EXPECT_FALSE(dialog->forZero().SelectedRow().has_value());
    EXPECT_EQ(dialog->forOne().steps()->count(), 0);
    EXPECT_FALSE(dialog->forOne().names()->isEnabled());
    ClickButton(dialog.get(), "uploadButton");
    EXPECT_FALSE(dialog->isVisible());
    ASSERT_TRUE(Eventually([this] { return UnitIo(5) == IoSetting{0, 0, 0}; }));
}

TEST_F(TriggerDialogTest, TemperatureOpensOffAtZeroAndFollowsTypedDegrees) {
    auto dialog = OpenOnReport<TemperatureControlDialog>();
    const auto readoutShows = [&](const QString& text) {
        return Eventually([&] { return dialog->fahrenheit(kUpper)->text() == text; });
    };
    EXPECT_EQ(Shown({dialog.get(), dialog->executeOption(), dialog->currentTemperature()}),
              (QStringList{
                  "Temperature Control",
                  "Execute a relay script when temperature thresholds are reached.",
                  QString::fromUtf8("Current Temperature: ( 21.5 \u00B0C     70.7 \u00B0F  )")}));
    EXPECT_TRUE(dialog->disableOption()->isChecked());
    for (const Group g : {kUpper, kLower}) {
        EXPECT_FALSE(dialog->slider(g)->isEnabled());
        EXPECT_FALSE(dialog->picker(g).names()->isEnabled());
        EXPECT_EQ(dialog->slider(g)->maximum(), 50);
        EXPECT_EQ(dialog->celsius(g)->text(), "0");
        EXPECT_FALSE(dialog->picker(g).SelectedRow().has_value());
        EXPECT_EQ(dialog->celsius(g)->palette().color(QPalette::Base), QColor(0, 255, 255));
    }
    EXPECT_EQ(dialog->fahrenheit(kUpper)->text(), "32.0");
    EXPECT_TRUE(readoutShows(" 32.0"));
    Shoot(*dialog, "temperature_control_off");

    // Typed degrees change the readout and the colours, not the slider.
    dialog->celsius(kUpper)->selectAll();
    QTest::keyClicks(dialog->celsius(kUpper), "12");
    EXPECT_TRUE(readoutShows(" 53.6"));
    EXPECT_EQ(dialog->celsius(kUpper)->palette().color(QPalette::Text), QColor(255, 255, 0));
    EXPECT_EQ(dialog->slider(kUpper)->value(), 0);
}

TEST_F(TriggerDialogTest, TemperatureOpensOnWithTheReportedSettingAndSwitchingOffSendsFiveZeros) {
    unit_.State().temperatureTrigger = kHeaterAndFan;
    auto dialog = OpenOnReport<TemperatureControlDialog>();
    EXPECT_TRUE(dialog->executeOption()->isChecked());
    EXPECT_EQ(dialog->slider(kUpper)->value(), 30);
    EXPECT_EQ(Shown({dialog->celsius(kLower), dialog->fahrenheit(kUpper)}),
              (QStringList{"20", " 86.0"}));
    EXPECT_EQ(dialog->picker(kUpper).SelectedRow(), 1);
    EXPECT_EQ(dialog->picker(kLower).SelectedRow(), 0);
    EXPECT_EQ(Texts(dialog->picker(kUpper).steps()),
              (QStringList{"Relay 1 OFF", "Delay 1 Second"}));
    EXPECT_EQ(dialog->celsius(kUpper)->palette().color(QPalette::Base), QColor(150, 105, 105));
    Shoot(*dialog, "temperature_control_on");

    ClickNearLeft(dialog->disableOption());
    for (const Group g : {kUpper, kLower}) {
        EXPECT_EQ(dialog->slider(g)->value(), 0);
        EXPECT_EQ(dialog->celsius(g)->text(), "0");
        EXPECT_EQ(dialog->picker(g).steps()->count(), 0);
        EXPECT_FALSE(dialog->picker(g).names()->isEnabled());
    }
    ClickButton(dialog.get(), "uploadButton");
    EXPECT_FALSE(dialog->isVisible());
    ASSERT_TRUE(Eventually([this] { return unit_.State().temperatureTrigger == Thresholds{}; }));
}

TEST_F(TriggerDialogTest, TemperatureUploadSendsTheSlidersAndTheChosenScriptsOnceApart) {
    auto dialog = OpenOnReport<TemperatureControlDialog>();
    ClickNearLeft(dialog->executeOption());
    EXPECT_TRUE(dialog->picker(kUpper).names()->isEnabled());
    ClickRow(dialog->picker(kUpper).names(), 0);
    ClickRow(dialog->picker(kLower).names(), 1);
    dialog->slider(kUpper)->setValue(25);
    dialog->slider(kLower)->setValue(25);
    ClickButton(dialog.get(), "uploadButton");
    EXPECT_EQ(testing::MessageLines(recorder.messages),
              std::vector<std::string>{"There should be at least one degree difference\r\n"
                                       "between the two temperature thresholds !||exclamation|"
                                       "dialog"});
    EXPECT_TRUE(dialog->isVisible());

    dialog->slider(kUpper)->setValue(30);
    dialog->slider(kLower)->setValue(20);
    EXPECT_EQ(dialog->celsius(kUpper)->text(), "30");
    ClickButton(dialog.get(), "uploadButton");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(FirstPopup(), "Temperature Data Received !");
    EXPECT_EQ(unit_.State().temperatureTrigger, (Thresholds{1, 0x00, 0x20, 30, 20}));
}

TEST_F(TriggerDialogTest, TemperatureResetNeedsFirmware174) {
    unit_.State().firmware = {1, 7, 3};
    EXPECT_FALSE(OpenOnReport<TemperatureControlDialog>()
                     ->findChild<QPushButton*>("resetButton")
                     ->isVisible());
    unit_.State().firmware = {1, 7, 4};
    auto dialog = OpenOnReport<TemperatureControlDialog>();
    ClickButton(dialog.get(), "resetButton");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(FirstPopup(), "I2C Bus Reset!");
}

}  // namespace
}  // namespace varnex
