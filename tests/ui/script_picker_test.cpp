#include "ui/script_picker.h"

#include <gtest/gtest.h>

#include <QListWidget>
#include <QTest>
#include <QWidget>

namespace varnex {
namespace {

ScriptTable SampleTable() {
    ScriptTable table{};
    for (std::size_t k = 0; k < table.size(); ++k) {
        table[k].name = "Slot " + std::to_string(k + 1) + std::string(10, ' ');
        table[k].codes = std::string(k + 1, '7') + std::string(15 - k, ' ');
    }
    table[2].codes = "18B             ";
    return table;
}

QStringList Texts(const QListWidget* list) {
    QStringList texts;
    for (int k = 0; k < list->count(); ++k) {
        texts << list->item(k)->text();
    }
    return texts;
}

void ClickRow(QListWidget* list, int row) {
    const QRect rect = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

struct PickerFixture : ::testing::Test {
    PickerFixture() {
        picker.FillNames();
        window.resize(400, 300);
        picker.names()->setGeometry(0, 0, 180, 200);
        picker.steps()->setGeometry(200, 0, 180, 200);
        window.show();
    }
    ScriptTable table = SampleTable();
    QWidget window;
    ScriptPicker picker{table, &window};
};

TEST_F(PickerFixture, NamesAreTheEightSlotsAsStoredWithNothingSelected) {
    ASSERT_EQ(picker.names()->count(), 8);
    EXPECT_EQ(picker.names()->item(0)->text(), "Slot 1          ");
    EXPECT_EQ(picker.names()->item(7)->text(), "Slot 8          ");
    EXPECT_FALSE(picker.SelectedRow().has_value());
    EXPECT_EQ(picker.steps()->count(), 0);
}

TEST_F(PickerFixture, MouseReleaseShowsTheClickedSlotAndReportsIt) {
    std::optional<int> reported;
    QObject::connect(&picker, &ScriptPicker::Chosen,
                     [&](std::optional<int> row) { reported = row; });
    ClickRow(picker.names(), 2);
    EXPECT_EQ(picker.SelectedRow(), 2);
    EXPECT_EQ(reported, 2);
    EXPECT_EQ(Texts(picker.steps()),
              (QStringList{"Relay 1 ON", "Delay 2 Seconds", "Delay 5 Seconds"}));
}

TEST_F(PickerFixture, KeyboardMovesChangeTheSelectionButNotTheSteps) {
    ClickRow(picker.names(), 2);
    picker.names()->setFocus();
    QTest::keyClick(picker.names(), Qt::Key_Down);
    EXPECT_EQ(picker.SelectedRow(), 3);
    EXPECT_EQ(picker.steps()->count(), 3);  // still slot 3's steps
}

TEST_F(PickerFixture, AClickDiscardsComposedSteps) {
    ClickRow(picker.names(), 0);
    picker.steps()->addItem("Relay 3 OFF");
    ClickRow(picker.names(), 0);
    EXPECT_EQ(Texts(picker.steps()), QStringList{"Delay 1 Second"});
}

TEST_F(PickerFixture, RefillingLeavesNoRowSelected) {
    picker.SelectSlot(4);
    EXPECT_EQ(picker.SelectedRow(), 4);
    EXPECT_EQ(picker.StepTexts().size(), 5u);
    picker.FillNames();
    EXPECT_FALSE(picker.SelectedRow().has_value());
}

}  // namespace
}  // namespace varnex
