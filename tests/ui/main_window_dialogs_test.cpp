// Every feature control and menu item of the running window opens its own
// dialog.
#include "main_window_fixture.h"

#include <QAbstractButton>
#include <functional>

namespace varnex {
namespace {

// The class of the modal dialog `open` opens, which is then closed again.
QString DialogOpenedBy(const std::function<void()>& open) {
    const ModalWatchdog watchdog;
    QString opened;
    OnNextModal([&opened](QWidget* dialog) {
        opened = QString::fromLatin1(dialog->metaObject()->className());
        dialog->close();
    });
    open();
    return opened;
}

TEST_F(MainWindowTest, EveryFeatureControlOpensItsDialog) {
    StartUnit();
    AddStation("127.0.0.1", "tamble", "Simulator");
    Open({"varnex", "127.0.0.1"});
    ASSERT_TRUE(PumpUntil([&] { return controls().uptime->isEnabled(); }, 3000));
    MainWindowControls& c = controls();
    // "Add IP" comes last: it ends the session that enables the others.
    const std::vector<std::pair<QAbstractButton*, QString>> cases = {
        {c.daughterBoardButton, "varnex::BoardChooserDialog"},
        {c.voltmeters[7].options, "varnex::VoltmeterOptionsDialog"},
        {c.relayButtons[2], "varnex::RelayControlDialog"},
        {c.pinButtons[4], "varnex::IoControlDialog"},
        {c.runMake, "varnex::RelayScriptsDialog"},
        {c.timerButton, "varnex::RelayTimerDialog"},
        {c.temperatureButton, "varnex::TemperatureControlDialog"},
        {c.changeMacAddress, "varnex::ChangeMacDialog"},
        {c.changeIpAddress, "varnex::ChangeRemoteIpDialog"},
        {c.setStationName, "varnex::StationNameDialog"},
        {c.securitySettings, "varnex::SecuritySettingsDialog"},
        {c.uptime, "varnex::UptimeDialog"},
        {c.about, "varnex::AboutBox"},
        {c.addIp, "varnex::StationDialog"},
    };
    for (const auto& [button, dialog] : cases) {
        SCOPED_TRACE(dialog.toStdString());
        ASSERT_TRUE(button->isEnabled());
        EXPECT_EQ(DialogOpenedBy([button = button] { QTest::mouseClick(button, Qt::LeftButton); }),
                  dialog);
    }
}

TEST_F(MainWindowTest, MenuHoldsFileOptionsAndHelpAndItsItemsOpenTheirDialogs) {
    MainWindow& window = Open();
    std::vector<std::vector<QString>> menus;
    for (QAction* menu : window.menuBar()->actions()) {
        menus.push_back({menu->text()});
        for (QAction* item : menu->menu()->actions()) {
            menus.back().push_back(item->text());
        }
    }
    const std::vector<std::vector<QString>> expected = {
        {"&File", "E&xit"}, {"&Options", "DataBase"}, {"&Help", "&About"}};
    EXPECT_EQ(menus, expected);
    window.show();
    EXPECT_EQ(DialogOpenedBy([&] { MenuItem("DataBase")->trigger(); }),
              "varnex::DatabaseOptionsDialog");
    EXPECT_EQ(DialogOpenedBy([&] { MenuItem("&About")->trigger(); }), "varnex::AboutBox");
}

}  // namespace
}  // namespace varnex
