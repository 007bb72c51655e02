// The station dialogs: a seeded database file in a temporary folder, every
// message recorded, and a session that can be started against a silent peer
// on 127.0.0.1 to see the dialogs end it.
#include <gtest/gtest.h>

#include <QClipboard>
#include <algorithm>
#include <map>

#include "protocol/loopback_peer.h"
#include "session/session.h"
#include "stations/database_location.h"
#include "stations/station_test_support.h"
#include "stations/station_writers.h"
#include "ui/stations/database_options_dialog.h"
#include "ui/stations/delete_station_dialog.h"
#include "ui/widgets/dialog_context.h"
#include "ui/widgets/ip_address_field.h"
#include "ui/stations/station_dialog.h"
#include "ui/ui_test_support.h"

#include <QDir>
#include <QFileDialog>

namespace varnex {
namespace {

using Lines = std::vector<std::string>;

const std::string kSeedLine = "10.10.10.10      VNX DEFAULT IP";

// A refilled station list: its lines, then what its field shows.
Lines Refilled(const std::optional<StationList>& list) {
    Lines lines = list ? list->lines : Lines{"no list"};
    lines.push_back("field: " + (list ? list->text : ""));
    return lines;
}

class StationDialogTest : public testing::SeededStationTest {
  protected:
    Lines Rows() const {
        return Select("SELECT IPADDRESS, PASSWORD, COMMENT, \"DEFAULT\" FROM main");
    }
    bool PollRunning() const {
        return std::ranges::any_of(session_.timers(), [](const WindowTimer& timer) {
            return timer.id == kPollTimer && timer.running;
        });
    }
    // Starts a session with the station 127.0.0.1, then runs `open`, whose
    // modal dialog `answer` handles; tells whether the session still polled
    // while that dialog was open (nothing when none opened).
    template <typename Dialog>
    std::optional<bool> PolledWhileOpen(const std::function<void(Dialog&)>& answer,
                                        const std::function<void()>& open) {
        session_.StartSession();
        EXPECT_TRUE(PollRunning());
        std::optional<bool> polled;
        OnNextModal([&](QWidget* modal) {
            polled = PollRunning();
            auto* dialog = qobject_cast<Dialog*>(modal);
            ASSERT_NE(dialog, nullptr);
            answer(*dialog);
        });
        open();
        return polled;
    }

    testing::LoopbackPeer peer_;  // never answers
    Session session_{recorder_.hooks,
                     SessionSeams{
                         .lookupStation =
                             [](const std::string& ip) {
                                 LoadedStation station;
                                 station.address = ip;
                                 station.password = "tamble****";
                                 return std::optional(station);
                             },
                         .stationListText = [] { return std::string("127.0.0.1"); },
                         .link = LinkOptions{.unitPort = peer_.port()},
                     }};
    DialogContext context_{session_, store_, recorder_.hooks};
    ModalWatchdog watchdog_{2000};  // a dialog a test never answers is closed
};

class DatabaseOptionsDialogTest : public StationDialogTest {
  protected:
    DatabaseOptionsDialog& Open() {
        recorder_.hooks.writeSetting = [this](const std::string& key, const std::string& value) {
            settings_[key] = value;
            return true;
        };
        dialog_ = std::make_unique<DatabaseOptionsDialog>(
            nullptr, recorder_.hooks, memory_,
            [this](QWidget*, const FileOpenRequest& request) -> std::optional<QString> {
                requests_.push_back(request);
                return nextChoice_;
            });
        dialog_->show();
        return *dialog_;
    }

    std::map<std::string, std::string> settings_;
    DatabaseLocationMemory memory_{"/data/VNXv1.MDB", ""};
    std::vector<FileOpenRequest> requests_;
    std::optional<QString> nextChoice_;
    std::unique_ptr<DatabaseOptionsDialog> dialog_;
};

TEST_F(DatabaseOptionsDialogTest, OpensOnThePathInMemoryAndBrowseRemembersTheChoice) {
    DatabaseOptionsDialog& dialog = Open();
    EXPECT_EQ(Shown({&dialog, dialog.findChild<QGroupBox*>(), dialog.browseButton(),
                     dialog.okButton(), dialog.cancelButton(), dialog.pathField()}),
              QStringList({"DataBase Options", "Set Location of the VNXv1 Data Base", "....", "OK",
                           "Cancel", "/data/VNXv1.MDB"}));
    EXPECT_FALSE(dialog.windowIcon().isNull());
    nextChoice_ = QString("/picked/other.MDB");
    QTest::mouseClick(dialog.browseButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.pathField()->text(), "/picked/other.MDB");
    nextChoice_.reset();  // cancelled: the field keeps its text
    QTest::mouseClick(dialog.browseButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.pathField()->text(), "/picked/other.MDB");
    ASSERT_EQ(requests_.size(), 2u);
    EXPECT_EQ(requests_[0].title, "Find the VNXv1.MDB file");
    EXPECT_EQ(requests_[0].filters, QStringList({"All Files (*)", "Text Files (*.txt)"}));
    EXPECT_EQ(requests_[0].startFile, "");
    EXPECT_EQ(requests_[0].startFolder, "/data");  // where the database in use lives
    EXPECT_EQ(requests_[1].startFile, "/picked/other.MDB");

    // Cancel keeps the path and the key, yet the next dialog of the run starts on the pick.
    QTest::mouseClick(dialog.cancelButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(memory_.path, "/data/VNXv1.MDB");
    EXPECT_TRUE(settings_.empty());
    QTest::mouseClick(Open().browseButton(), Qt::LeftButton);
    EXPECT_EQ(requests_.back().startFile, "/picked/other.MDB");
}

// The platform's dialog opens in the request's folder, or on the file last picked.
TEST_F(DatabaseOptionsDialogTest, TheFileDialogOpensInTheFolderOrOnTheLastPick) {
    const QString folder = QString::fromStdString(folder_.path());
    ASSERT_TRUE(QDir(folder).mkdir("picked"));
    testing::WriteBytes(folder_.File("picked/other.MDB"), "x");
    for (const auto& [startFile, shown] :
         {std::pair(QString(), folder),
          std::pair(folder + "/picked/other.MDB", folder + "/picked")}) {
        QString seen;
        OnNextModal([&seen](QWidget* modal) {
            if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
                seen = dialog->directory().absolutePath();
            }
            modal->close();
        });
        EXPECT_FALSE(ChooseExistingFile(nullptr, {"Find", {"All Files (*)"}, startFile, folder}));
        EXPECT_EQ(seen, shown);
    }
}

TEST_F(DatabaseOptionsDialogTest, OkStoresTheKeyAndMakesNoFile) {
    const std::string newPath = folder_.File("elsewhere.MDB");
    Open().pathField()->setText(QString::fromStdString(newPath));
    QTest::mouseClick(dialog_->okButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog_->isVisible());
    EXPECT_EQ(memory_.path, newPath);
    EXPECT_EQ(settings_,
              (std::map<std::string, std::string>{{std::string(kDatabaseLocationKey), newPath}}));
    EXPECT_FALSE(std::filesystem::exists(newPath));
    EXPECT_TRUE(recorder_.messages.empty());
}

// The factory row and 127.0.0.2, which is the default.
class DeleteStationDialogTest : public StationDialogTest {
  protected:
    void SetUp() override {
        StationDialogTest::SetUp();
        ASSERT_TRUE(InsertStation(store_, "127.0.0.2", "other*****", "bench"));
        ASSERT_TRUE(store_.SetDefaultStation(MessageOwner::MainWindow, "127.0.0.2"));
        recorder_.messages.clear();
    }
};

TEST_F(DeleteStationDialogTest, OpensOnEveryAddressAndRefusesTheFactoryOne) {
    DeleteStationDialog dialog(nullptr, store_);
    dialog.show();
    QComboBox* list = dialog.addressList();
    EXPECT_EQ(Shown({&dialog, dialog.findChild<QGroupBox*>(), dialog.deleteButton(),
                     dialog.cancelButton(), list}) +
                  QStringList({list->itemText(0), list->itemText(1)}),
              QStringList({"Delete IP", "Delete IP Address from Data Base", "DELETE", "Cancel",
                           "127.0.0.2", "10.10.10.10", "127.0.0.2"}));
    EXPECT_EQ(list->count(), 2);
    EXPECT_TRUE(list->isEditable());
    EXPECT_FALSE(dialog.windowIcon().isNull());
    list->setEditText("10.10.10.10");
    QTest::mouseClick(dialog.deleteButton(), Qt::LeftButton);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(recorder_.Lines(), Lines{"Don't Delete the Default IP!|  Varnex v1|none|dialog"});
    QTest::mouseClick(dialog.cancelButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(dialog.refilledList());
    EXPECT_EQ(Rows().size(), 2u);
}

TEST_F(DeleteStationDialogTest, DeletingTheDefaultStationLeavesTheListTextEmpty) {
    DeleteStationDialog dialog(nullptr, store_);
    dialog.show();
    QTest::mouseClick(dialog.deleteButton(), Qt::LeftButton);  // the field shows 127.0.0.2
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(Rows(), Lines{"10.10.10.10|tamble****|VNX DEFAULT IP|NO"});
    EXPECT_EQ(Refilled(dialog.refilledList()), (Lines{kSeedLine, "field: "}));
    EXPECT_EQ(recorder_.Lines(),
              Lines{"IP Address Deleted From Database !|  Varnex v1|none|dialog"});
}

class StationDialogUiTest : public StationDialogTest {
  protected:
    StationDialog& Open(StationDialogMode mode, const std::string& listText = "") {
        dialog_ = std::make_unique<StationDialog>(nullptr, store_, mode, listText);
        dialog_->show();
        dialog_->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog_.get(), 2000));
        return *dialog_;
    }
    void Ok() { QTest::mouseClick(dialog_->okButton(), Qt::LeftButton); }
    std::unique_ptr<StationDialog> dialog_;
};

TEST_F(StationDialogUiTest, AddOpensEmptyWithFocusInTheAddressAndTheLastFocusedFieldsLabelRed) {
    StationDialog& dialog = Open(StationDialogMode::Add, kSeedLine);
    EXPECT_EQ(Shown({&dialog, dialog.findChild<QGroupBox*>(), dialog.fieldLabel(0),
                     dialog.fieldLabel(1), dialog.fieldLabel(2), dialog.okButton(),
                     dialog.cancelButton(), dialog.passwordField(), dialog.commentField()}),
              QStringList({"Add IP", "Add IP Address to Data Base",
                           "IP Address:", "Password:", "Comment:", "OK", "Cancel", "", ""}));
    EXPECT_FALSE(dialog.windowIcon().isNull());
    EXPECT_TRUE(dialog.addressField()->isBlank());
    EXPECT_EQ(dialog.passwordField()->echoMode(), QLineEdit::Password);
    EXPECT_EQ(QApplication::focusWidget(), dialog.addressField()->octetField(0));
    const struct {
        QWidget* focus;
        int red;
    } steps[] = {
        {dialog.addressField()->octetField(0), 0},  // where it opens
        {dialog.passwordField(), 1},
        {dialog.commentField(), 2},
        {dialog.okButton(), 2},  // a button keeps the last field's label
        {dialog.addressField()->octetField(2), 0},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.focus->metaObject()->className());
        step.focus->setFocus(Qt::TabFocusReason);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(dialog.fieldLabel(i)->palette().color(QPalette::WindowText),
                      i == step.red ? QColor(255, 0, 0) : QColor(0, 0, 0))
                << i;
        }
    }
}

// Quotes reach the database as typed: values are bound, never spliced in.
TEST_F(StationDialogUiTest, AddTypedByTheUserStoresThePaddedPasswordAndCloses) {
    StationDialog& dialog = Open(StationDialogMode::Add);
    TypeIntoFocus("192.168.1.5");
    dialog.passwordField()->setFocus();
    TypeIntoFocus("it's\"");
    dialog.commentField()->setFocus();
    TypeIntoFocus("O'Brien \"lab\"; --");
    Ok();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(Rows(), (Lines{"10.10.10.10|tamble****|VNX DEFAULT IP|YES",
                             "192.168.1.5|it's\"*****|O'Brien \"lab\"; --|NO"}));
    EXPECT_EQ(Refilled(dialog.refilledList()),
              (Lines{kSeedLine, "192.168.1.5      O'Brien \"lab\"; --", "field: " + kSeedLine}));
    EXPECT_TRUE(recorder_.messages.empty());
}

TEST_F(StationDialogUiTest, RefusalsKeepTheDialogOpenAndCancelWritesNothing) {
    StationDialog& dialog = Open(StationDialogMode::Add);
    TypeIntoFocus("10.10.10");  // three numbers only
    Ok();
    dialog.addressField()->setAddress(0x0A0A0A0B);
    // The password field takes no more than a unit's ten characters.
    QGuiApplication::clipboard()->setText("abcdefghijk");
    dialog.passwordField()->paste();
    QApplication::processEvents();
    Ok();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(recorder_.Lines(),
              (Lines{"Invalid IP Address|  Varnex v1|stop|dialog",
                     "Too long for this field: at most 10 characters.||exclamation|dialog",
                     "Bad Password!!|  Varnex v1|stop|dialog"}));
    QTest::mouseClick(dialog.cancelButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(dialog.refilledList());
    EXPECT_EQ(Rows(), Lines{"10.10.10.10|tamble****|VNX DEFAULT IP|YES"});
}

TEST_F(StationDialogUiTest, EditOpensOnTheListedStationAndStoresItUnchanged) {
    StationDialog& dialog = Open(StationDialogMode::Edit, kSeedLine);
    EXPECT_EQ(Shown({&dialog, dialog.passwordField(), dialog.commentField()}),
              QStringList({"Edit IP", "tamble****", "VNX DEFAULT IP"}));
    EXPECT_EQ(dialog.addressField()->address(), 0x0A0A0A0Au);
    Ok();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(Rows(), Lines{"10.10.10.10|tamble****|VNX DEFAULT IP|YES"});
    EXPECT_EQ(recorder_.Lines(),
              Lines{"IP Address Updated SucSuccessfully|  Varnex v1|information|dialog"});
    EXPECT_EQ(Refilled(dialog.refilledList()), (Lines{kSeedLine, "field: " + kSeedLine}));
}

// Add, Edit and Delete end a running session before their dialog opens;
// the database options leave it running.
TEST_F(StationDialogTest, EntryPointsEndTheRunningSessionFirstExceptDatabaseOptions) {
    ASSERT_TRUE(InsertStation(store_, "127.0.0.2", "other*****", "bench"));
    std::optional<StationList> edited;
    EXPECT_EQ(PolledWhileOpen<StationDialog>(
                  [](auto& dialog) {
                      dialog.passwordField()->setText("new");
                      QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
                  },
                  [&] {
                      edited =
                          OpenStationDialog(nullptr, context_, StationDialogMode::Edit, kSeedLine);
                  }),
              false);
    EXPECT_EQ(Refilled(edited),
              (Lines{kSeedLine, "127.0.0.2        bench", "field: " + kSeedLine}));
    EXPECT_EQ(Rows(), (Lines{"10.10.10.10|new*******|VNX DEFAULT IP|YES",
                             "127.0.0.2|other*****|bench|NO"}));

    std::optional<StationList> deleted;
    EXPECT_EQ(PolledWhileOpen<DeleteStationDialog>(
                  [](auto& dialog) {
                      dialog.addressList()->setEditText("127.0.0.2");
                      QTest::mouseClick(dialog.deleteButton(), Qt::LeftButton);
                  },
                  [&] { deleted = OpenDeleteStationDialog(nullptr, context_); }),
              false);
    EXPECT_EQ(Refilled(deleted), (Lines{kSeedLine, "field: " + kSeedLine}));

    DatabaseLocationMemory memory{"/data/VNXv1.MDB", ""};
    EXPECT_EQ(PolledWhileOpen<DatabaseOptionsDialog>(
                  [](auto& dialog) { QTest::mouseClick(dialog.cancelButton(), Qt::LeftButton); },
                  [&] { OpenDatabaseOptionsDialog(nullptr, context_, memory); }),
              true);
    EXPECT_TRUE(PollRunning());
}

// An address that is not stored changes nothing: the default stays.
TEST_F(StationDialogUiTest, SetDefaultEndsTheSessionAndMarksOnlyAStoredStation) {
    const std::string set = "Default IP Address Set!|  Varnex v1|information|main";
    const std::string notStored =
        "SQL general overness, can't find the IP Address in the Database!|  Varnex v1|stop|main";
    for (const auto& [listText, refilled, message] : {
             std::tuple(std::string("192.168.7.7"), Lines{"no list", "field: "}, notStored),
             std::tuple(kSeedLine, Lines{kSeedLine, "field: " + kSeedLine}, set),
         }) {
        SCOPED_TRACE(listText);
        recorder_.messages.clear();
        session_.StartSession();
        ASSERT_TRUE(PollRunning());
        EXPECT_EQ(Refilled(RunSetDefault(context_, listText)), refilled);
        EXPECT_FALSE(PollRunning());
        EXPECT_EQ(Rows(), Lines{"10.10.10.10|tamble****|VNX DEFAULT IP|YES"});
        EXPECT_EQ(recorder_.Lines(), Lines{message});
    }
}

}  // namespace
}  // namespace varnex
