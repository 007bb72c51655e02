// The unit's settings dialogs over a live session: the unit is a recording
// socket on 127.0.0.1 answered with the simulator's status records (or the
// simulator itself), the station database a file in a temporary folder, and
// every message, question, beep and launch is recorded.
#include "settings/settings_fixture.h"  // first: it must precede every Qt header
#include "unit/unit_server.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTabWidget>

#include "ui/settings/change_mac_dialog.h"
#include "ui/settings/change_remote_ip_dialog.h"
#include "ui/widgets/dialog_context.h"
#include "ui/widgets/ip_address_field.h"
#include "ui/settings/relay_control_dialog.h"
#include "ui/settings/security_settings_dialog.h"
#include "ui/settings/station_name_dialog.h"
#include "ui/settings/uptime_dialog.h"
#include "ui/settings/voltmeter_options_dialog.h"
#include "ui/ui_test_support.h"

namespace varnex::testing {
namespace {

using Bytes = std::vector<uint8_t>;
using namespace std::string_view_literals;

Bytes Text(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

class SettingsDialogTest : public SettingsTest {
  protected:
    // A dialog as the main window makes it: owner, context, then `args`.
    template <typename Dialog, typename... Args>
    std::unique_ptr<Dialog> Show(Args&&... args) {
        DialogContext context{*session_, stations_, recorder_.hooks};
        auto dialog = std::make_unique<Dialog>(nullptr, context, std::forward<Args>(args)...);
        dialog->show();
        return dialog;
    }

    static void Click(QAbstractButton* button) {
        ASSERT_TRUE(button->isVisible()) << button->text().toStdString();
        ClickNearLeft(button);
    }

    // The letter and the first `count` parameter bytes of the next command
    // the unit receives; empty when none or a shorter one comes.
    Bytes Command(std::size_t count) {
        const Bytes sent = Sent();
        const auto from = static_cast<std::ptrdiff_t>(wire::kParameterOffset);
        if (sent.size() < wire::kParameterOffset + count) {
            return {};
        }
        Bytes command{sent[wire::kLetterOffset]};
        command.insert(command.end(), sent.begin() + from,
                       sent.begin() + from + static_cast<std::ptrdiff_t>(count));
        return command;
    }
};

TEST_F(SettingsDialogTest, SecurityOpensOnThePasswordPageAndAFourCharacterPasswordEndsTheSession) {
    auto dialog = Show<SecuritySettingsDialog>();
    QStringList shown = {dialog->windowTitle()};
    for (int i = 0; i < dialog->tabs()->count(); ++i) {
        shown << dialog->tabs()->tabText(i);
    }
    EXPECT_EQ(shown, (QStringList{"Change Security Settings", "Change Password",
                                  "Allowed IP Numbers", "HTTP Server", "SNMP Server"}));
    EXPECT_EQ(dialog->tabs()->currentIndex(), 0);
    EXPECT_EQ(dialog->focusWidget(), dialog->passwordField());
    Shoot(*dialog, "security_settings_dialog_password");

    QTest::keyClicks(dialog->passwordField(), "k9 .Zq");
    QTest::keyClicks(dialog->retypeField(), "k9Zq");
    EXPECT_EQ(recorder_.beeps, 2);
    EXPECT_EQ(dialog->passwordField()->text(), "k9Zq");
    Click(dialog->passwordOk());
    EXPECT_EQ(Command(10), Text("Gk9Zq******"));
    EXPECT_FALSE(SessionRuns());
    EXPECT_EQ(Row("PASSWORD"), std::vector<std::string>{"k9Zq******"});
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(dialog->refilledStationList().has_value());
}

TEST_F(SettingsDialogTest, SecurityTheReportedListOpensThePageAndOnlyTheFirstAddressIsSent) {
    unit::UnitState unit = UnitWith();
    unit.allowMode = 1;
    unit.allowed[0] = {127, 0, 0, 1};
    ReplyStatus(unit);
    auto dialog = Show<SecuritySettingsDialog>();
    dialog->tabs()->setCurrentIndex(1);
    EXPECT_TRUE(dialog->allowListedChoice()->isChecked());
    EXPECT_EQ(dialog->addressField(0)->address(), 0x7F000001u);
    Click(dialog->allowAllChoice());
    EXPECT_TRUE(dialog->addressField(0)->isBlank());
    EXPECT_FALSE(dialog->addressField(0)->isEnabled());
    Click(dialog->allowListedChoice());
    EXPECT_TRUE(dialog->addressField(0)->isEnabled());
    Shoot(*dialog, "security_settings_dialog_addresses");
    dialog->addressField(0)->setAddress(0x7F000009);
    Click(dialog->addressesOk());
    EXPECT_EQ(Command(21),
              (Bytes{'H', 1, 127, 0, 0, 9, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(SessionRuns());
}

// Firmware 1.6.8 knows HTTP but not yet SNMP.
TEST_F(SettingsDialogTest, SecurityFirmwareGatesTheHttpAndSnmpPages) {
    ReplyStatus(UnitWith({1, 6, 8}));
    auto dialog = Show<SecuritySettingsDialog>();
    for (const auto& [which, usable] :
         {std::pair{ServerSwitch::Http, true}, std::pair{ServerSwitch::Snmp, false}}) {
        const ServerSwitchControls& page = dialog->serverPage(which);
        for (QWidget* button :
             std::initializer_list<QWidget*>{page.enable, page.disable, page.ok, page.cancel}) {
            EXPECT_EQ(button->isEnabled(), usable) << static_cast<int>(which);
        }
    }
    dialog->tabs()->setCurrentIndex(3);
    Shoot(*dialog, "security_settings_dialog_snmp_disabled");
}

TEST_F(SettingsDialogTest, SecurityDisablingSnmpAsksThenSendsSWithOne) {
    ReplyStatus(UnitWith({1, 7, 4}));
    auto dialog = Show<SecuritySettingsDialog>();
    dialog->tabs()->setCurrentIndex(3);
    const ServerSwitchControls& snmp = dialog->serverPage(ServerSwitch::Snmp);
    EXPECT_TRUE(snmp.enable->isChecked());
    Click(snmp.disable);
    Click(snmp.ok);
    EXPECT_EQ(recorder_.questions.size(), 1u);
    EXPECT_EQ(Command(1), (Bytes{'S', 1}));
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(SettingsDialogTest, MacFieldsStartFromTheReportAndSendWhatWasTyped) {
    ReplyStatus(unit::MakeUnitState({.mac = {0x02, 0x56, 0x4E, 0x58, 0x00, 0x01}}, {}));
    auto dialog = Show<ChangeMacDialog>();
    EXPECT_EQ(Shown({dialog.get(), dialog->groupField(2)}),
              (QStringList{"Change Mac Address", "4E"}));
    Shoot(*dialog, "change_mac_dialog");
    const std::array<const char*, 6> typed = {"00", "0", "c0", "A8", "1", "ff"};
    for (std::size_t i = 0; i < typed.size(); ++i) {
        dialog->groupField(i)->clear();
        QTest::keyClicks(dialog->groupField(i), typed[i]);
    }
    QTest::keyClicks(dialog->groupField(5), "g");
    EXPECT_EQ(recorder_.beeps, 1);
    EXPECT_EQ(Shown({dialog->groupField(2), dialog->groupField(5)}), (QStringList{"C0", "FF"}));
    Click(dialog->okButton());
    EXPECT_EQ(Command(6), (Bytes{'E', 0x00, 0x00, 0xC0, 0xA8, 0x01, 0xFF}));
    ASSERT_EQ(recorder_.launches.size(), 1u);
    EXPECT_EQ(recorder_.launches[0].back(), kUnitAddress);
    EXPECT_FALSE(SessionRuns());
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(SettingsDialogTest, RemoteIpStartsEmptyAndSendsTheFourNumbers) {
    auto dialog = Show<ChangeRemoteIpDialog>();
    EXPECT_EQ(dialog->windowTitle(), "Change Remote IP");
    EXPECT_TRUE(dialog->addressField()->isBlank());
    Shoot(*dialog, "change_remote_ip_dialog");
    Click(dialog->okButton());
    EXPECT_EQ(Messages(), std::vector<std::string>{"Invalid IP Address|  Varnex v1|stop|dialog"});
    EXPECT_TRUE(dialog->isVisible());
    dialog->addressField()->setAddress(0x7F000102);
    Click(dialog->okButton());
    EXPECT_EQ(Command(4), (Bytes{'F', 127, 0, 1, 2}));
    EXPECT_FALSE(SessionRuns());
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(SettingsDialogTest, StationNameStartsFromTheReportAndSendsTwentyCharacters) {
    ReplyStatus(unit::MakeUnitState({.name = "Boiler Room"}, {}));
    auto dialog = Show<StationNameDialog>();
    EXPECT_EQ(Shown({dialog.get(), dialog->nameField()}),
              (QStringList{"Change Station Name", "Boiler Room"}));
    Shoot(*dialog, "station_name_dialog");
    QTest::keyClicks(dialog->nameField(), ".");
    EXPECT_EQ(recorder_.beeps, 1);
    dialog->nameField()->clear();
    Click(dialog->okButton());
    EXPECT_EQ(Messages(), std::vector<std::string>{"Zero Length Fields Not Allowed!||stop|dialog"});
    QTest::keyClicks(dialog->nameField(), "North Wing Boiler 25ABCDE");
    EXPECT_EQ(dialog->nameField()->text(), "North Wing Boiler 25");
    Click(dialog->okButton());
    EXPECT_EQ(Command(21), Text("INorth Wing Boiler 25\0"sv));
    EXPECT_TRUE(SessionRuns());
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(SettingsDialogTest, UptimeRowsFollowTheLatestReplyEverySecondUntilOk) {
    ReplyStatus(UnitWith(), 86400);
    auto dialog = Show<UptimeDialog>();
    const auto shown = [&] {
        QStringList texts = {dialog->windowTitle()};
        for (std::size_t row = 0; row < kUptimeRows; ++row) {
            texts << dialog->valueLabel(row)->text();
        }
        return texts;
    };
    EXPECT_EQ(shown(), (QStringList{"System Up Time", "86400", " 1440.00", " 24.00", " 1.00",
                                    " 0.03", " 0.00"}));
    EXPECT_TRUE(dialog->refreshTimer().isActive());
    EXPECT_EQ(dialog->refreshTimer().interval(), 1000);
    Shoot(*dialog, "uptime_dialog");
    ReplyStatus(UnitWith(), 0);
    EXPECT_EQ(dialog->valueLabel(0)->text(), "86400");  // not before the tick
    dialog->Refresh();
    EXPECT_EQ(shown(), (QStringList{"System Up Time", "0", " 0", " 0", " 0", " 0", " 0"}));
    Click(dialog->okButton());
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_FALSE(dialog->refreshTimer().isActive());
}

TEST_F(SettingsDialogTest, VoltmeterOneNotInstalledAndGraphicalIsStoredAndCloses) {
    auto dialog = Show<VoltmeterOptionsDialog>(1, *OpenVoltmeterOptions(*session_, 1));
    EXPECT_EQ(Shown({dialog.get(), dialog->jumperGroup()}),
              (QStringList{"Voltmeter 1 Options", "Jumper 6"}));
    EXPECT_TRUE(dialog->installedChoice()->isChecked());
    EXPECT_TRUE(dialog->plainTextChoice()->isChecked());
    Shoot(*dialog, "voltmeter_options_dialog");
    Click(dialog->notInstalledChoice());
    Click(dialog->graphicalChoice());
    Click(dialog->okButton());
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(Row("JP6, VM1VIEW"), std::vector<std::string>{"OFF|GRAPHICAL"});
}

TEST_F(SettingsDialogTest, VoltmeterFiveHasDisabledJumperRadiosAndEmptyNotesAreRefused) {
    auto dialog = Show<VoltmeterOptionsDialog>(5, *OpenVoltmeterOptions(*session_, 5));
    EXPECT_EQ(dialog->jumperGroup()->title(), "");
    EXPECT_FALSE(dialog->installedChoice()->isEnabled());
    EXPECT_FALSE(dialog->notInstalledChoice()->isEnabled());
    dialog->notesField()->clear();
    Click(dialog->okButton());
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(Messages(),
              std::vector<std::string>{"Enter Notes for this Voltmeter !||exclamation|dialog"});
    Click(dialog->cancelButton());
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(SettingsDialogTest,
       VoltmeterNameRefusesParenthesesAndKeepsCannotBeTypedTwentySevenCharacters) {
    auto dialog = Show<VoltmeterOptionsDialog>(2, *OpenVoltmeterOptions(*session_, 2));
    EXPECT_EQ(dialog->nameField()->text(), "Voltage 2 (0-30-60)");
    QTest::keyClicks(dialog->nameField(), "()-");
    EXPECT_EQ(recorder_.beeps, 3);
    dialog->nameField()->setText("Battery bank voltage 48V racks");  // 30 characters
    EXPECT_EQ(dialog->nameField()->text(), "Battery bank voltage 48V ra");
    Click(dialog->okButton());
    EXPECT_EQ(Row("VM2LABEL"), std::vector<std::string>{"Battery bank voltage 48V ra"});
    EXPECT_EQ(session_->display().voltmeters[1].caption, "Battery bank voltage 48V ra");
}

TEST_F(SettingsDialogTest, RelayControlTogglingRelayTwoAtSeventeenSecondsSendsSevenWithSeventeen) {
    auto dialog = Show<RelayControlDialog>(2, *OpenRelayControl(*session_, 2));
    EXPECT_EQ(Shown({dialog.get(), dialog->secondsText()}), (QStringList{"Relay 2 Control", "1"}));
    EXPECT_FALSE(dialog->toggleChoice()->isChecked());
    Shoot(*dialog, "relay_control_dialog");
    Click(dialog->toggleChoice());
    dialog->seconds()->setValue(17);
    EXPECT_EQ(dialog->secondsText()->text(), "17");
    Click(dialog->actionButton());
    EXPECT_EQ(Command(1), (Bytes{'7', 17}));
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(SettingsDialogTest, RelayControlRefusedCharactersBeepAndUpdatesStoreAndKeepTheDialog) {
    auto dialog = Show<RelayControlDialog>(2, *OpenRelayControl(*session_, 2));
    dialog->nameField()->setText("Fan");
    dialog->notesField()->setPlainText("Roof");
    QGuiApplication::clipboard()->setText("x-y");
    for (QWidget* field :
         std::initializer_list<QWidget*>{dialog->nameField(), dialog->notesField()}) {
        field->setFocus();
        QTest::keyClicks(field, "'-(");
        QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    }
    EXPECT_EQ(recorder_.beeps, 8);
    EXPECT_EQ(Shown({dialog->nameField(), dialog->notesField()}), (QStringList{"Fan", "Roof"}));
    // The field stops at the fifteen characters that are stored.
    QTest::keyClicks(dialog->nameField(), " and Pump Circuit");
    EXPECT_EQ(dialog->nameField()->text(), "Fan and Pump Ci");
    EXPECT_EQ(recorder_.beeps, 13);
    Click(dialog->updateNameButton());
    EXPECT_EQ(Row("RELAY2NAME"), std::vector<std::string>{"Fan and Pump Ci"});
    EXPECT_EQ(session_->display().relayNames[1], "Fan and Pump Ci");
    QTest::keyClick(dialog->notesField(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(dialog->notesField(), " 2.5");
    Click(dialog->updateNotesButton());
    EXPECT_EQ(Row("RELAY2NOTES"), std::vector<std::string>{"Roof 2.5"});
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(SettingsDialogTest, RelayControlPastedTextKeepsTheRulesAndEnterOrCloseSwitchNothing) {
    auto dialog = Show<RelayControlDialog>(1, *OpenRelayControl(*session_, 1));
    dialog->nameField()->clear();
    for (const char* pasted : {"O'Brien-2", "OBrien 2"}) {
        QGuiApplication::clipboard()->setText(pasted);
        dialog->nameField()->paste();
    }
    EXPECT_EQ(dialog->nameField()->text(), "OBrien 2");
    QTest::keyClick(dialog->nameField(), Qt::Key_Return);
    EXPECT_EQ(recorder_.beeps, 1);
    EXPECT_TRUE(dialog->isVisible());
    Click(dialog->updateNameButton());
    EXPECT_EQ(Row("RELAY1NAME"), std::vector<std::string>{"OBrien 2"});
    Click(dialog->closeButton());
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(session_->display().counters.sent, "1");
}

// Against the simulator: the unit still takes the client after a password
// change.
TEST_F(SettingsDialogTest, AfterAPasswordChangeTheSimulatorTakesTheNextStart) {
    const unit::UnitTime now{1'000'000};
    unit::UnitServer unit{
        unit::MakeUnitState({.password = "secret"}, now), [&] { return now; }, {}};
    std::string error;
    ASSERT_TRUE(unit.Bind(kUnitAddress, 0, error)) << error;
    Session session(recorder_.hooks, {.lookupStation =
                                          [this](const std::string& ip) {
                                              return stations_.LoadStation(MessageOwner::MainWindow,
                                                                           ip);
                                          },
                                      .stationListText = [] { return std::string(kUnitAddress); },
                                      .link = {.unitPort = unit.Port()}});
    // The unit answers what it was sent; the session reads the answer.
    const auto startAndReadStatus = [&] {
        session.StartSession();
        unit.Serve(std::chrono::milliseconds(kWaitMs));
        ASSERT_TRUE(WaitReadable(session.link().socketDescriptor()));
        session.OnSocketNotification(0);
    };
    startAndReadStatus();
    DialogContext context{session, stations_, recorder_.hooks};
    SecuritySettingsDialog dialog(nullptr, context);
    dialog.show();
    QTest::keyClicks(dialog.passwordField(), "Rotor7");
    QTest::keyClicks(dialog.retypeField(), "Rotor7");
    ClickNearLeft(dialog.passwordOk());
    unit.Serve(std::chrono::milliseconds(kWaitMs));
    EXPECT_FALSE(dialog.isVisible());

    startAndReadStatus();
    EXPECT_EQ(session.station().password, "Rotor7****");
    EXPECT_EQ(session.display().statusBar[1], " Connecting");
    EXPECT_TRUE(recorder_.messages.empty());  // no "Bad Password!!"
    EXPECT_EQ(session.display().relayStates[0], "OFF");
}

}  // namespace
}  // namespace varnex::testing
