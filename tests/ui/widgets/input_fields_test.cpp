// Typing into the address field and into fields guarded by the key filter.
#include <gtest/gtest.h>

#include "platform/platform_hooks.h"
#include "ui/widgets/ip_address_field.h"
#include "ui/widgets/key_filter.h"
#include "ui_test_support.h"

namespace varnex {
namespace {

class IpAddressFieldTest : public ::testing::Test {
  protected:
    void SetUp() override {
        field.show();
        field.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&field, 2000));
        field.octetField(0)->setFocus();
    }
    std::string texts() const {
        return Shown({field.octetField(0), field.octetField(1), field.octetField(2),
                      field.octetField(3)})
            .join('|')
            .toStdString();
    }
    IpAddressField field;
};

TEST_F(IpAddressFieldTest, KeysMoveBetweenTheNumbersAsTyped) {
    const std::pair<const char*, const char*> cases[] = {
        {"10.2003.4", "10|200|3|4"},  // the third digit of 200 moves on by itself
        {"a9x99", "255|||"},          // letters refused, numbers clamped
        {".5", "5|||"},               // a full stop in an empty number stays
        {"12.3\b\b\b", "1|||"},       // the 3, then back to the first number, then its 2
    };
    for (const auto& [keys, shown] : cases) {
        SCOPED_TRACE(keys);
        field.clear();
        field.octetField(0)->setFocus();
        TypeIntoFocus(keys);
        EXPECT_EQ(texts(), shown);
    }
    EXPECT_FALSE(field.isComplete());
    EXPECT_FALSE(field.isBlank());
}

TEST_F(IpAddressFieldTest, SetsReadsClearsAndDisablesEveryNumber) {
    TypeIntoFocus("10.2003.4");
    EXPECT_EQ(field.address(), 0x0AC80304u);
    field.setAddress(0x0A0000FFu);
    EXPECT_EQ(texts(), "10|0|0|255");
    EXPECT_TRUE(field.isComplete());
    EXPECT_EQ(field.address(), 0x0A0000FFu);
    field.clear();
    EXPECT_TRUE(field.isBlank());
    EXPECT_EQ(field.address(), 0u);

    field.setEnabled(false);
    for (int i = 0; i < 4; ++i) {
        EXPECT_FALSE(field.octetField(i)->isEnabled()) << i;
    }
}

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

TEST_F(KeyFilterTest, ShortcutsALineBreakInNotesAndAccentedLettersAreRefusedPlainOnesTaken) {
    QTest::keyClick(&line, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&line, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(&notes, Qt::Key_Return);
    QTest::keyClick(&notes, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(beeps, 4);
    EXPECT_EQ(QStringList({line.text(), notes.toPlainText()}), QStringList({"ab", "ab"}));
    EXPECT_FALSE(line.hasSelectedText());

    QTest::sendKeyEvent(QTest::Click, &line, Qt::Key_Eacute, QString::fromUtf8("\u00e9"),
                        Qt::NoModifier);
    QTest::keyClicks(&line, "x");
    QTest::sendKeyEvent(QTest::Click, &line, Qt::Key_Adiaeresis, QString::fromUtf8("\u00c4"),
                        Qt::ShiftModifier);
    QTest::keyClicks(&line, "Y");
    EXPECT_EQ(beeps, 6);
    EXPECT_EQ(line.text(), "abxY");
}

}  // namespace
}  // namespace varnex
