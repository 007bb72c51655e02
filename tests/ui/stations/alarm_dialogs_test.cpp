// The alarm editor and the watched-stations list over a seeded database:
// refused settings keep the dialog open and store nothing, good ones read
// back from the database, Cancel changes nothing.
#include <gtest/gtest.h>

#include <QCheckBox>

#include "stations/station_test_support.h"
#include "stations/station_writers.h"
#include "ui/stations/alarm_editor_dialog.h"
#include "ui/stations/watched_stations_dialog.h"
#include "ui/ui_test_support.h"

namespace varnex {
namespace {

using Watches = std::map<std::string, StationWatch>;
using Field = AlarmEditorDialog::Field;
constexpr uint32_t kPollSeconds = 5;
constexpr std::size_t kTemperature = kVoltmeterColumns;

class AlarmDialogsTest : public testing::SeededStationTest {
  protected:
    void SetUp() override {
        SeededStationTest::SetUp();
        ASSERT_TRUE(InsertStation(store_, "127.0.0.2", "pw********", "pump house"));
        VoltmeterOptions battery{
            .jumper = "OFF", .view = "STANDARD", .notes = "", .label = "Battery"};
        ASSERT_TRUE(SetVoltmeterOptions(store_, "127.0.0.2", 1, battery));
    }
    LoadedStation Station(const std::string& ip) {
        return store_.LoadStation(MessageOwner::MainWindow, ip).value_or(LoadedStation{});
    }
    Watches Stored() { return LoadStationWatches(store_).value_or(Watches{}); }
    std::vector<std::string> Messages() {
        std::vector<std::string> texts = recorder_.Texts();
        recorder_.messages.clear();
        return texts;
    }
    static void Type(QLineEdit* field, const char* text) {
        field->setText(QString::fromUtf8(text));
    }
};

TEST_F(AlarmDialogsTest, EditorNamesEachVoltmeterWithItsLabelAndRangeWithTheJumper) {
    AlarmEditorDialog dialog(nullptr, store_, Station("127.0.0.2"), kPollSeconds);
    const std::tuple<std::size_t, QString, QString> rows[] = {
        {0, "Battery", "0 to 60 V"},  // its jumper removed
        {1, "Voltage 2 (0-30-60)", "0 to 30 V"},
        {7, "Voltage 8 (0-5)", "0 to 5 V"},
        {kTemperature, "Temperature", QStringLiteral("\u00B0C")},
    };
    for (const auto& [reading, caption, range] : rows) {
        EXPECT_EQ(dialog.captionLabel(reading)->text(), caption);
        EXPECT_EQ(dialog.rangeLabel(reading)->text(), range);
    }
    // No settings of its own: not watched, nothing checked.
    EXPECT_FALSE(dialog.watchBox()->isChecked());
    EXPECT_EQ(dialog.limitField(0, Field::Upper)->text(), "");
    EXPECT_EQ(dialog.silenceField()->text(), "");
    dialog.show();
    Shoot(dialog, "alarm_editor");
}

TEST_F(AlarmDialogsTest, RefusedSettingsKeepTheEditorOpenAndStoreNothing) {
    AlarmEditorDialog dialog(nullptr, store_, Station("127.0.0.2"), kPollSeconds);
    dialog.show();
    const std::pair<std::function<void()>, std::string> cases[] = {
        {[&] { Type(dialog.limitField(0, Field::Upper), "61"); },
         "Voltmeter 1 reads 0 to 60 V with its jumper removed: the limits must lie within that "
         "range."},
        {[&] { Type(dialog.limitField(2, Field::Lower), "1,5"); },
         "The lower limit of voltmeter 3 is not a number."},
        {[&] { Type(dialog.limitField(2, Field::Lower), "12"); },
         "The lower limit of voltmeter 3 is above its upper limit."},
        {[&] { Type(dialog.limitField(kTemperature, Field::Hysteresis), "-1"); },
         "The hysteresis of the temperature cannot be negative."},
        {[&] { Type(dialog.silenceField(), "5.5"); },
         "The silence must be a whole number of seconds, or empty for no silent alarm."},
        {[&] { Type(dialog.silenceField(), "14"); },
         "A silence of 14 s is shorter than 3 polling intervals of 5 s: choose at least 15 s."},
    };
    Type(dialog.limitField(2, Field::Upper), "10");
    for (const auto& [type, message] : cases) {
        // Each case starts from settings that are otherwise good.
        Type(dialog.limitField(0, Field::Upper), "60");
        Type(dialog.limitField(2, Field::Lower), "");
        Type(dialog.limitField(kTemperature, Field::Hysteresis), "0");
        Type(dialog.silenceField(), "");
        type();
        dialog.okButton()->click();
        EXPECT_EQ(Messages(), std::vector<std::string>{message});
        EXPECT_TRUE(dialog.isVisible()) << message;
    }
    EXPECT_FALSE(dialog.saved());
    EXPECT_TRUE(Stored().empty());
}

TEST_F(AlarmDialogsTest, GoodSettingsRoundTripThroughTheDatabase) {
    {
        ModalWatchdog watchdog;
        OnNextModal([this](QWidget* modal) {
            auto* dialog = qobject_cast<AlarmEditorDialog*>(modal);
            ASSERT_NE(dialog, nullptr);
            dialog->watchBox()->setChecked(true);
            Type(dialog->limitField(0, Field::Lower), " 11.5 ");
            Type(dialog->limitField(0, Field::Upper), "14.25");
            Type(dialog->limitField(0, Field::Hysteresis), "0.5");
            Type(dialog->limitField(kTemperature, Field::Lower), "-10");
            Type(dialog->silenceField(), "15");
            dialog->okButton()->click();
        });
        EXPECT_TRUE(OpenAlarmEditor(nullptr, store_, Station("127.0.0.2"), kPollSeconds));
    }
    StationWatch expected;
    expected.watched = true;
    expected.voltmeters[0] = {11.5, 14.25, 0.5};
    expected.temperature.lower = -10;
    expected.silentSeconds = 15;
    EXPECT_EQ(Stored(), (Watches{{"127.0.0.2", expected}}));
    EXPECT_TRUE(Messages().empty());

    // Reopened, it shows what is stored; Cancel after changes keeps it.
    ModalWatchdog watchdog;
    OnNextModal([](QWidget* modal) {
        auto* dialog = qobject_cast<AlarmEditorDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->limitField(0, Field::Lower)->text(), "11.5");
        EXPECT_EQ(dialog->limitField(kTemperature, Field::Upper)->text(), "");
        EXPECT_EQ(dialog->silenceField()->text(), "15");
        dialog->watchBox()->setChecked(false);
        Type(dialog->limitField(0, Field::Upper), "");
        dialog->cancelButton()->click();
    });
    EXPECT_FALSE(OpenAlarmEditor(nullptr, store_, Station("127.0.0.2"), kPollSeconds));
    EXPECT_EQ(Stored(), (Watches{{"127.0.0.2", expected}}));
}

TEST_F(AlarmDialogsTest, WatchListTicksEveryStationAndKeepsLimitsOfAnUntickedOne) {
    ASSERT_TRUE(InsertStation(store_, "127.0.0.3", "pw********", "cellar"));
    StationWatch limits;
    limits.voltmeters[5].upper = 4;  // not watched, but with limits kept
    ASSERT_TRUE(SaveStationWatch(store_, "127.0.0.3", limits));

    WatchedStationsDialog dialog(nullptr, store_);
    QListWidget* list = dialog.stationList();
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(Texts(list), QStringList({"10.10.10.10      VNX DEFAULT IP",
                                        "127.0.0.2        pump house", "127.0.0.3        cellar"}));
    for (int row = 0; row < list->count(); ++row) {
        EXPECT_EQ(list->item(row)->checkState(), Qt::Unchecked) << row;
    }
    dialog.show();
    Shoot(dialog, "watched_stations");

    list->item(0)->setCheckState(Qt::Checked);
    list->item(2)->setCheckState(Qt::Checked);
    dialog.okButton()->click();
    EXPECT_TRUE(dialog.saved());
    limits.watched = true;
    EXPECT_EQ(Stored(), (Watches{{"10.10.10.10", NewStationWatch()}, {"127.0.0.3", limits}}));

    // Unticked again, the settings stay for the next time; Cancel saves nothing.
    WatchedStationsDialog again(nullptr, store_);
    EXPECT_EQ(again.stationList()->item(2)->checkState(), Qt::Checked);
    again.stationList()->item(2)->setCheckState(Qt::Unchecked);
    again.stationList()->item(1)->setCheckState(Qt::Checked);
    again.cancelButton()->click();
    EXPECT_FALSE(again.saved());
    EXPECT_EQ(Stored().size(), 2u);

    WatchedStationsDialog third(nullptr, store_);
    third.stationList()->item(2)->setCheckState(Qt::Unchecked);
    third.okButton()->click();
    limits.watched = false;
    EXPECT_EQ(Stored().at("127.0.0.3"), limits);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(AlarmDialogsTest, WatchListThatCannotSaveSaysSoAndStaysOpen) {
    ASSERT_TRUE(EnsureWatchTable(store_));
    Select(
        "CREATE TRIGGER refuse BEFORE INSERT ON station_watch BEGIN SELECT RAISE(ABORT, 'no'); "
        "END;");
    WatchedStationsDialog dialog(nullptr, store_);
    dialog.show();
    dialog.stationList()->item(0)->setCheckState(Qt::Checked);
    dialog.stationList()->item(1)->setCheckState(Qt::Checked);
    dialog.okButton()->click();
    EXPECT_EQ(Messages(), std::vector<std::string>{"The watched stations could not be saved."});
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(Stored().empty());
}

}  // namespace
}  // namespace varnex
