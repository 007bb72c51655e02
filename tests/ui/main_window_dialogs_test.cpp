#include "main_window_fixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>

namespace varnex {
namespace {

// The class of the modal dialog a click opens, which is then closed again.
QString DialogOpenedBy(QAbstractButton* button) {
    const ModalWatchdog watchdog;
    QString opened;
    QTimer::singleShot(0, [&opened] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            opened = QString::fromLatin1(dialog->metaObject()->className());
            dialog->close();
        }
    });
    QTest::mouseClick(button, Qt::LeftButton);
    return opened;
}

TEST_F(MainWindowTest, EveryFeatureControlOpensItsDialog) {
    StartUnit();
    AddStation("127.0.0.1", "tamble", "Simulator");
    Open({"varnex", "127.0.0.1"});
    ASSERT_TRUE(PumpUntil([&] { return controls().uptime->isEnabled(); }, 3000));
    MainWindowControls& c = controls();
    ASSERT_TRUE(c.daughterBoardButton->isEnabled());
    const QString boards = DialogOpenedBy(c.daughterBoardButton);
    EXPECT_TRUE(boards.startsWith("varnex::Board")) << boards.toStdString();
    // "Add IP" comes last: it ends the session that enables the others.
    const std::vector<std::pair<QAbstractButton*, QString>> cases = {
        {c.voltmeters[0].options, "varnex::VoltmeterOptionsDialog"},
        {c.voltmeters[7].options, "varnex::VoltmeterOptionsDialog"},
        {c.relayButtons[0], "varnex::RelayControlDialog"},
        {c.relayButtons[2], "varnex::RelayControlDialog"},
        {c.pinButtons[0], "varnex::IoControlDialog"},
        {c.pinButtons[4], "varnex::IoControlDialog"},
        {c.runMake, "varnex::RelayScriptsDialog"},
        {c.timerButton, "varnex::RelayTimerDialog"},
        {c.temperatureButton, "varnex::TemperatureControlDialog"},
        {c.changeMacAddress, "varnex::ChangeMacDialog"},
        {c.changeIpAddress, "varnex::ChangeRemoteIpDialog"},
        {c.setStationName, "varnex::StationNameDialog"},
        {c.securitySettings, "varnex::SecuritySettingsDialog"},
        {c.uptime, "varnex::UptimeDialog"},
        {c.addIp, "varnex::StationDialog"},
    };
    for (const auto& [button, dialog] : cases) {
        ASSERT_TRUE(button->isEnabled()) << dialog.toStdString();
        EXPECT_EQ(DialogOpenedBy(button), dialog) << button->text().toStdString();
    }
}

}  // namespace
}  // namespace varnex
