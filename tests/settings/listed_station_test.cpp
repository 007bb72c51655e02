// Two stations in the database: whichever the station list names, after
// start-up alone or after a choice in the list without START, is the one
// whose row every per-station writer changes; no other row changes.
#include <gmock/gmock.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "session/session.h"
#include "settings/relay_control.h"
#include "settings/voltmeter_options.h"
#include "stations/station_list_rules.h"
#include "stations/station_test_support.h"
#include "stations/station_writers.h"

namespace varnex::testing {
namespace {

using Lines = std::vector<std::string>;

constexpr const char* kStationA = "127.0.0.2";
constexpr const char* kStationB = "127.0.0.3";

// The seed row, station A (the default) and station B with settings of its
// own; the session as start-up leaves it, without a window.
class ListedStationTest : public SeededStationTest {
  protected:
    void SetUp() override {}  // each case starts afresh with Prepare()

    void Prepare() {
        SeededStationTest::SetUp();
        ASSERT_TRUE(InsertStation(store_, kStationA, "alpha*****", "A"));
        ASSERT_TRUE(InsertStation(store_, kStationB, "bravo*****", "B"));
        ASSERT_TRUE(SetVoltmeterOptions(store_, kStationB, 1, {"OFF", "GRAPHICAL", "bn", "Bl"}));
        ASSERT_TRUE(SetRelayName(store_, kStationB, 2, "Fan"));
        ASSERT_TRUE(store_.SetDefaultStation(MessageOwner::MainWindow, kStationA));
        const std::optional<StationList> list = store_.FillStationList(MessageOwner::MainWindow);
        ASSERT_TRUE(list);
        listText_ = list->text;
        recorder_.messages.clear();

        SessionSeams seams;
        seams.lookupStation = [this](const std::string& ip) {
            return store_.LoadStation(MessageOwner::MainWindow, ip);
        };
        seams.stationListText = [this] { return listText_; };
        session_ = std::make_unique<Session>(recorder_.hooks, seams);
        session_->StartUp({StartUpRequest::LoadDefaultStation, {}});
        ASSERT_TRUE(recorder_.messages.empty());
    }

    // The user settles on a line of the list; no START follows.
    void Choose(const std::string& line) {
        listText_ = line;
        session_->OnStationChosen();
        session_->OnTimer(kStationChoiceTimer);
    }

    // Every row, as the sqlite3 tool reads it, of the file at `path`.
    static Lines Table(const std::string& path) {
        return Sqlite(path, "SELECT * FROM main ORDER BY IPADDRESS");
    }

    std::string listText_;
    std::unique_ptr<Session> session_;
};

struct Writer {
    const char* name;
    std::function<void(Session&, StationStore&, const std::string& listText)> write;
    // What the write must do, said in SQL; "%" stands for the listed station.
    std::string effect;
    Lines messages;
};

TEST_F(ListedStationTest, EveryWriterChangesTheListedStationsRowAndNoOther) {
    const Writer writers[] = {
        // The dialog opened and OK pressed with only the name changed.
        {"voltmeter options",
         [](Session& session, StationStore& store, const std::string&) {
             const VoltmeterOptionsView view = OpenVoltmeterOptions(session, 1).value();
             SaveVoltmeterOptions(session, store, 1,
                                  {view.notes, "Tank", view.jumperInstalled, view.plainText});
         },
         "UPDATE main SET VM1LABEL = 'Tank' WHERE IPADDRESS = '%'",
         {}},
        {"relay name",
         [](Session& session, StationStore& store, const std::string&) {
             UpdateRelayName(session, store, 3, "Pump");
         },
         "UPDATE main SET RELAY3NAME = 'Pump' WHERE IPADDRESS = '%'",
         {}},
        {"relay notes",
         [](Session& session, StationStore& store, const std::string&) {
             UpdateRelayNotes(session, store, 1, "wired to the pump");
         },
         "UPDATE main SET RELAY1NOTES = 'wired to the pump' WHERE IPADDRESS = '%'",
         {}},
        {"set default",
         [](Session&, StationStore& store, const std::string& listText) {
             SetDefaultFromList(store, listText);
         },
         "UPDATE main SET \"DEFAULT\" = CASE WHEN IPADDRESS = '%' THEN 'YES' ELSE 'NO' END",
         {"Default IP Address Set!|  Varnex v1|information|main"}},
        // The Delete dialog's field set to the station the list names.
        {"delete",
         [](Session&, StationStore& store, const std::string& listText) {
             AcceptDeleteStation(store, StationAddressFromList(listText));
         },
         "DELETE FROM main WHERE IPADDRESS = '%'",
         {"IP Address Deleted From Database !|  Varnex v1|none|dialog"}},
    };
    // The station list's line chosen after start-up (none: start-up alone),
    // and the station it names.
    const std::pair<std::string, std::string> listings[] = {
        {"", kStationA},
        {StationListLine(kStationB, "B"), kStationB},
    };
    for (const auto& [chosen, listed] : listings) {
        for (const Writer& writer : writers) {
            SCOPED_TRACE(std::string(writer.name) + " on " + listed);
            Prepare();
            ASSERT_FALSE(HasFatalFailure());
            if (!chosen.empty()) {
                Choose(chosen);
            }
            const std::string expected = folder_.File("expected.MDB");
            std::filesystem::copy_file(path_, expected,
                                       std::filesystem::copy_options::overwrite_existing);
            std::string effect = writer.effect;
            effect.replace(effect.find('%'), 1, listed);
            ASSERT_THAT(Sqlite(expected, effect), ::testing::IsEmpty());

            writer.write(*session_, store_, listText_);
            EXPECT_EQ(Table(path_), Table(expected));
            EXPECT_EQ(recorder_.Lines(), writer.messages);
            store_.CloseStationStore();
            std::filesystem::remove(path_);
        }
    }
}

}  // namespace
}  // namespace varnex::testing
