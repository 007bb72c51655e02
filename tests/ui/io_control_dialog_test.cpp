#include "ui/io_control_dialog.h"

#include <QLabel>
#include <QRadioButton>

#include "script_dialog_fixture.h"
#include "ui/script_picker.h"

namespace varnex {
namespace {

using Setting = std::array<uint8_t, 3>;

class IoControlTest : public ScriptDialogTest {
  protected:
    void SetUp() override {
        ScriptDialogTest::SetUp();
        StoreScript(0, "1", "Door open");
        StoreScript(7, "3A4", "Siren");
    }
    void TearDown() override { dialog.reset(); }

    void Open(int pin, const Setting& setting) {
        std::copy(setting.begin(), setting.end(), unit_.State().ioTriggers.begin() + 3 * (pin - 1));
        Poll();
        dialog = std::make_unique<IoControlDialog>(context, pin, nullptr);
        dialog->show();
        ASSERT_TRUE(TableShown());
    }
    Setting UnitSetting(int pin) const {
        Setting setting;
        std::copy_n(unit_.State().ioTriggers.begin() + 3 * (pin - 1), 3, setting.begin());
        return setting;
    }
    void Upload() { ClickButton(dialog.get(), "uploadButton"); }

    std::unique_ptr<IoControlDialog> dialog;
};

TEST_F(IoControlTest, OpensOffForThePinTheMainWindowNamed) {
    Open(3, {0, 0, 0});
    EXPECT_EQ(dialog->windowTitle(), "I/O Control");
    EXPECT_EQ(dialog->pinLabel()->text(), "3");
    EXPECT_EQ(dialog->pinLabel()->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(dialog->pinLabel()->font().pixelSize(), 24);
    EXPECT_EQ(dialog->pinLabel()->font().family(), "Comic Sans MS");
    EXPECT_EQ(dialog->disableOption()->text(), "Disable  I/O state change action.");
    EXPECT_TRUE(dialog->disableOption()->isChecked());
    EXPECT_FALSE(dialog->forZero().names()->isEnabled());
    EXPECT_FALSE(dialog->forOne().names()->isEnabled());
    EXPECT_EQ(dialog->forZero().names()->count(), 8);
    EXPECT_FALSE(dialog->forZero().SelectedRow().has_value());
    Shoot(*dialog, "io_control_off");
}

TEST_F(IoControlTest, UploadAsksForBothScriptsThenSendsThePinAndBothSlots) {
    Open(3, {0, 0, 0});
    ClickNearLeft(dialog->executeOption());
    ClickRow(dialog->forOne().names(), 7);
    Upload();
    EXPECT_EQ(testing::MessageLines(recorder.messages),
              std::vector<std::string>{
                  "Choose a Relay Script to execute when I/O state changes to 0 !||exclamation|"
                  "dialog"});
    EXPECT_TRUE(dialog->isVisible());

    ClickRow(dialog->forZero().names(), 0);
    Upload();
    EXPECT_FALSE(dialog->isVisible());
    ASSERT_TRUE(PumpUntil([this] { return !recorder.popups.empty(); }, kDialogWaitMs));
    EXPECT_EQ(recorder.popups[0].second, "I/O Data Received !");
    EXPECT_EQ(UnitSetting(3), (Setting{1, 0x00, 0xE0}));
}

TEST_F(IoControlTest, OpensOnWithTheReportedScriptsAndSwitchesOff) {
    Open(5, {1, 0xE0, 0x00});
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
    Upload();
    EXPECT_FALSE(dialog->isVisible());
    ASSERT_TRUE(PumpUntil([this] { return UnitSetting(5) == Setting{0, 0, 0}; }, kDialogWaitMs));
}

}  // namespace
}  // namespace varnex
