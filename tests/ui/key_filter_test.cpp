#include "ui/key_filter.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include "platform/platform_hooks.h"

namespace varnex {
namespace {

struct KeyFilterTest : ::testing::Test {
    KeyFilterTest() {
        hooks.beep = [this] { ++beeps; };
        line.setText("ab");
        notes.setPlainText("ab");
        KeyFilter::Install(&line, CharacterClass::NamesAndNotes, hooks);
        KeyFilter::Install(&notes, CharacterClass::NamesAndNotes, hooks);
        line.show();
        notes.show();
        QTest::keyClick(&notes, Qt::Key_End, Qt::ControlModifier);
    }
    PlatformHooks hooks;
    int beeps = 0;
    QLineEdit line;
    QPlainTextEdit notes;
};

TEST_F(KeyFilterTest, KeysThatTypeNothingOrMoveTheFocusPassWithoutABeep) {
    for (QWidget* field : {static_cast<QWidget*>(&line), static_cast<QWidget*>(&notes)}) {
        for (const Qt::Key key :
             {Qt::Key_Left, Qt::Key_Home, Qt::Key_Shift, Qt::Key_Escape, Qt::Key_Tab}) {
            QTest::keyClick(field, key);
        }
    }
    QTest::keyClick(&line, Qt::Key_End);
    QTest::keyClick(&line, Qt::Key_Backspace);
    EXPECT_EQ(beeps, 0);
    EXPECT_EQ(line.text(), "a");
}

TEST_F(KeyFilterTest, ControlShortcutsAndALineBreakInNotesAreRefusedCharacters) {
    QTest::keyClick(&line, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&line, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(&notes, Qt::Key_Return);
    QTest::keyClick(&notes, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(beeps, 4);
    EXPECT_EQ(line.text(), "ab");
    EXPECT_EQ(notes.toPlainText(), "ab");
    EXPECT_FALSE(line.hasSelectedText());
}

TEST_F(KeyFilterTest, AccentedLettersAreRefusedPlainOnesTaken) {
    QTest::sendKeyEvent(QTest::Click, &line, Qt::Key_Eacute, QString::fromUtf8("\u00e9"),
                        Qt::NoModifier);
    QTest::keyClicks(&line, "x");
    QTest::sendKeyEvent(QTest::Click, &line, Qt::Key_Adiaeresis, QString::fromUtf8("\u00c4"),
                        Qt::ShiftModifier);
    QTest::keyClicks(&line, "Y");
    EXPECT_EQ(beeps, 2);
    EXPECT_EQ(line.text(), "abxY");
}

}  // namespace
}  // namespace varnex
