#include "ui/temperature_control_dialog.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
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
    // On the round mark: a radio button takes clicks on its mark and text only.
    static void ClickOption(QRadioButton* option) {
        QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(8, option->height() / 2));
    }
    void Click(const char* name) {
        QTest::mouseClick(dialog->findChild<QPushButton*>(name), Qt::LeftButton);
    }
    QListWidget* names(Group g) { return dialog->picker(g).names(); }
    QString Celsius(Group g) { return dialog->celsius(g)->text(); }
    QColor FieldColour(Group g, QPalette::ColorRole role) {
        return dialog->celsius(g)->palette().color(role);
    }
    bool ReadoutShows(Group g, const QString& text) {
        return PumpUntil([&] { return dialog->fahrenheit(g)->text() == text; }, kDialogWaitMs);
    }
    void Shot(const QString& name) {
        QDir().mkpath(QStringLiteral("/tmp/varnex-shots"));
        dialog->grab().save(QStringLiteral("/tmp/varnex-shots/") + name);
    }

    std::unique_ptr<TemperatureControlDialog> dialog;
};

TEST_F(TemperatureControlTest, OpensOffAtZero) {
    Open({0, 0, 0, 0, 0});
    EXPECT_EQ(dialog->windowTitle(), "Temperature Control");
    EXPECT_TRUE(dialog->disableOption()->isChecked());
    EXPECT_FALSE(dialog->executeOption()->isChecked());
    EXPECT_EQ(dialog->disableOption()->text(), "Disable temperature activated relay action.");
    EXPECT_EQ(dialog->executeOption()->text(),
              "Execute a relay script when temperature thresholds are reached.");
    for (const Group g : {kUpper, kLower}) {
        EXPECT_FALSE(dialog->slider(g)->isEnabled());
        EXPECT_FALSE(names(g)->isEnabled());
        EXPECT_EQ(dialog->slider(g)->value(), 0);
        EXPECT_EQ(dialog->slider(g)->maximum(), 50);
        EXPECT_EQ(Celsius(g), "0");
        EXPECT_EQ(names(g)->count(), 8);
        EXPECT_FALSE(dialog->picker(g).SelectedRow().has_value());
        EXPECT_EQ(FieldColour(g, QPalette::Base), QColor(0, 255, 255));
        EXPECT_EQ(FieldColour(g, QPalette::Text), QColor(0, 0, 0));
    }
    EXPECT_EQ(dialog->fahrenheit(kUpper)->text(), "32.0");
    EXPECT_TRUE(ReadoutShows(kUpper, " 32.0"));
    EXPECT_EQ(dialog->currentTemperature()->text(),
              QString::fromUtf8("Current Temperature: ( 21.5 \u00B0C     70.7 \u00B0F  )"));
    EXPECT_EQ(dialog->currentTemperature()->palette().color(QPalette::WindowText),
              QColor(255, 0, 0));
    EXPECT_TRUE(dialog->findChild<QPushButton*>("resetButton")->isVisible());
    Shot("temperature_control_off.png");
}

TEST_F(TemperatureControlTest, OpensOnWithTheReportedSetting) {
    Open({1, 0x20, 0x00, 30, 20});
    EXPECT_TRUE(dialog->executeOption()->isChecked());
    EXPECT_EQ(dialog->slider(kUpper)->value(), 30);
    EXPECT_EQ(dialog->slider(kLower)->value(), 20);
    EXPECT_EQ(Celsius(kUpper), "30");
    EXPECT_EQ(Celsius(kLower), "20");
    EXPECT_EQ(dialog->fahrenheit(kUpper)->text(), " 86.0");
    EXPECT_EQ(dialog->fahrenheit(kLower)->text(), " 68.0");
    EXPECT_EQ(dialog->picker(kUpper).SelectedRow(), 1);
    EXPECT_EQ(dialog->picker(kLower).SelectedRow(), 0);
    EXPECT_EQ(Texts(dialog->picker(kUpper).steps()),
              (QStringList{"Relay 1 OFF", "Delay 1 Second"}));
    EXPECT_EQ(FieldColour(kUpper, QPalette::Text), QColor(255, 255, 0));
    EXPECT_EQ(FieldColour(kUpper, QPalette::Base), QColor(150, 105, 105));
    Shot("temperature_control_on.png");
}

TEST_F(TemperatureControlTest, UploadSendsTheSlidersAndTheChosenScripts) {
    Open({0, 0, 0, 0, 0});
    ClickOption(dialog->executeOption());
    EXPECT_TRUE(names(kUpper)->isEnabled());
    dialog->slider(kUpper)->setValue(30);
    dialog->slider(kLower)->setValue(20);
    EXPECT_EQ(Celsius(kUpper), "30");
    ClickRow(names(kUpper), 0);
    ClickRow(names(kLower), 1);
    Click("uploadButton");
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_FALSE(dialog->isVisible());
    ASSERT_TRUE(PumpUntil([this] { return !recorder.popups.empty(); }, kDialogWaitMs));
    EXPECT_EQ(recorder.popups[0].second, "Temperature Data Received !");
    EXPECT_EQ(unit_.State().temperatureTrigger, (Setting{1, 0x00, 0x20, 30, 20}));
}

TEST_F(TemperatureControlTest, ThresholdsMustBeApartAndInOrder) {
    Open({1, 0x00, 0x20, 30, 20});
    dialog->slider(kUpper)->setValue(25);
    dialog->slider(kLower)->setValue(25);
    Click("uploadButton");
    dialog->slider(kUpper)->setValue(20);
    Click("uploadButton");
    ASSERT_EQ(recorder.messages.size(), 2u);
    EXPECT_EQ(recorder.messages[0].text,
              "There should be at least one degree difference\r\nbetween the two temperature "
              "thresholds !");
    EXPECT_EQ(recorder.messages[1].text,
              "The top slider should be GREATER than the bottom slider !");
    EXPECT_EQ(recorder.messages[1].icon, MessageIcon::Exclamation);
    EXPECT_TRUE(dialog->isVisible());
    QTest::qWait(50);
    EXPECT_EQ(unit_.State().temperatureTrigger, (Setting{1, 0x00, 0x20, 30, 20}));
}

TEST_F(TemperatureControlTest, SwitchingOffSendsFiveZeros) {
    Open({1, 0x00, 0x20, 30, 20});
    ClickOption(dialog->disableOption());
    for (const Group g : {kUpper, kLower}) {
        EXPECT_EQ(dialog->slider(g)->value(), 0);
        EXPECT_EQ(Celsius(g), "0");
        EXPECT_EQ(dialog->picker(g).steps()->count(), 0);
        EXPECT_FALSE(names(g)->isEnabled());
    }
    // On again: the reported thresholds come back, the steps do not.
    ClickOption(dialog->executeOption());
    EXPECT_EQ(dialog->slider(kUpper)->value(), 30);
    EXPECT_EQ(Celsius(kLower), "20");
    EXPECT_EQ(dialog->picker(kUpper).steps()->count(), 0);

    ClickOption(dialog->disableOption());
    Click("uploadButton");
    EXPECT_FALSE(dialog->isVisible());
    ASSERT_TRUE(
        PumpUntil([this] { return unit_.State().temperatureTrigger == Setting{}; }, kDialogWaitMs));
}

TEST_F(TemperatureControlTest, TypedDegreesChangeTheReadoutAndColoursOnly) {
    Open({0, 0, 0, 0, 0});
    const std::vector<std::pair<QString, QString>> cases = {
        {"23", " 73.4"}, {"50", " 122.0"}, {"0", " 32.0"}, {"x1", " 32.0"}};
    for (const auto& [typed, fahrenheit] : cases) {
        dialog->celsius(kLower)->selectAll();
        QTest::keyClicks(dialog->celsius(kLower), typed);
        EXPECT_TRUE(ReadoutShows(kLower, fahrenheit)) << typed.toStdString();
    }
    dialog->celsius(kUpper)->selectAll();
    QTest::keyClicks(dialog->celsius(kUpper), "12");
    EXPECT_EQ(FieldColour(kUpper, QPalette::Text), QColor(255, 255, 0));
    EXPECT_EQ(FieldColour(kUpper, QPalette::Base), QColor(0, 255, 255));
    EXPECT_EQ(dialog->slider(kUpper)->value(), 0);
}

TEST_F(TemperatureControlTest, ResetNeedsFirmware174) {
    unit_.State().firmware = {1, 7, 3};
    Open({0, 0, 0, 0, 0});
    EXPECT_FALSE(dialog->findChild<QPushButton*>("resetButton")->isVisible());
    dialog.reset();

    unit_.State().firmware = {1, 7, 4};
    Open({0, 0, 0, 0, 0});
    Click("resetButton");
    EXPECT_FALSE(dialog->isVisible());
    ASSERT_TRUE(PumpUntil([this] { return !recorder.popups.empty(); }, kDialogWaitMs));
    EXPECT_EQ(recorder.popups[0].second, "I2C Bus Reset!");
}

TEST_F(TemperatureControlTest, ASessionEndingUnderneathLeavesTheDialogUsable) {
    Open({1, 0x00, 0x20, 30, 20});
    session.ResetSession();
    QTest::qWait(20);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->slider(kUpper)->value(), 30);
    Click("cancelButton");
    EXPECT_FALSE(dialog->isVisible());
}

}  // namespace
}  // namespace varnex
