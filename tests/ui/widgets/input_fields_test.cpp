// Typing, clicking, pasting and dropping into the address field and into
// fields under character and length rules.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMimeData>
#include <algorithm>

#include "protocol/hook_recorder.h"
#include "settings/address_paste.h"
#include "ui/widgets/field_rules.h"
#include "ui/widgets/ip_address_field.h"
#include "ui/ui_test_support.h"

namespace varnex {
namespace {

using varnex::testing::HookRecorder;

// How text reaches a field in these tables.
enum class Way { Type, Paste, MenuPaste, Drop, Click, Undo, SelectAll, Copy, Cut };

struct Act {
    Way way;
    const char* text = "";  // typed keys or the text pasted or dropped
    int octet = 0;          // the address field's number clicked
};

// Typed keys; '<', '>' and '$' are the Left, Right and End keys. Without a
// field each key goes to whichever has the focus at that moment.
void Type(QWidget* field, const char* keys) {
    for (const char* key = keys; *key != '\0'; ++key) {
        QWidget* to = field != nullptr ? field : QApplication::focusWidget();
        switch (*key) {
            case '<':
                QTest::keyClick(to, Qt::Key_Left);
                break;
            case '>':
                QTest::keyClick(to, Qt::Key_Right);
                break;
            case '$':
                QTest::keyClick(to, Qt::Key_End);
                break;
            default:
                QTest::keyClick(to, *key);
        }
    }
}

// The field's own context menu, with its "Paste" chosen.
void PasteFromMenu(QWidget* field) {
    QTimer::singleShot(0, [] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        const QList<QAction*> actions = menu->actions();
        const auto paste = std::find_if(actions.begin(), actions.end(), [](QAction* action) {
            return action->text().startsWith(QLatin1String("&Paste"));
        });
        ASSERT_NE(paste, actions.end());
        menu->close();
        (*paste)->trigger();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, field->rect().center(),
                            field->mapToGlobal(field->rect().center()));
    QApplication::sendEvent(field, &event);
}

// Dropped near the end of the field, as from another program.
void Drop(QWidget* target, const QString& text) {
    QMimeData data;
    data.setText(text);
    const QPoint at(target->width() - 2, target->height() - 2);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
}

void Shortcut(QWidget* field, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
    QTest::keyClick(field != nullptr ? field : QApplication::focusWidget(), key, modifiers);
}

// `surface` differs from `field` where a viewport takes the mouse.
void Do(const Act& act, QWidget* field, QWidget* surface) {
    switch (act.way) {
        case Way::Type:
            Type(field, act.text);
            return;
        case Way::Paste:
            QGuiApplication::clipboard()->setText(QString::fromUtf8(act.text));
            Shortcut(field, Qt::Key_V);
            return;
        case Way::MenuPaste:
            QGuiApplication::clipboard()->setText(QString::fromUtf8(act.text));
            PasteFromMenu(surface);
            return;
        case Way::Drop:
            Drop(surface, QString::fromUtf8(act.text));
            return;
        case Way::Click:
            QTest::mouseClick(field, Qt::LeftButton, {}, QPoint(field->width() - 3, 4));
            return;
        case Way::Undo:
            Shortcut(field, Qt::Key_Z);
            return;
        case Way::SelectAll:
            Shortcut(field, Qt::Key_A);
            return;
        case Way::Copy:
            Shortcut(field, Qt::Key_C);
            return;
        case Way::Cut:
            Shortcut(field, Qt::Key_X);
            return;
    }
}

class IpAddressFieldTest : public ::testing::Test {
  protected:
    void SetUp() override {
        field.show();
        field.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&field, 2000));
    }
    std::string texts() const {
        return Shown({field.octetField(0), field.octetField(1), field.octetField(2),
                      field.octetField(3)})
            .join('|')
            .toStdString();
    }
    HookRecorder recorder;
    IpAddressField field{recorder.hooks};
};

TEST_F(IpAddressFieldTest, TypingClickingArrowsAndPastingFillTheNumbersMeant) {
    const std::string notAddress(kNotAnAddressText);
    const std::string tooLarge(kNumberTooLargeText);
    struct Case {
        const char* what;
        bool startAtZero;  // "0.0.0.0" as the allowed-client list shows an empty slot
        std::vector<Act> acts;
        const char* shown;
        std::string message;
    };
    const Case cases[] = {
        {"a click selects the 0 it lands on",
         true,
         {{Way::Click, "", 0}, {Way::Type, "127.0.0.200"}},
         "127|0|0|200",
         ""},
        {"a full stop right after a third digit stays",
         true,
         {{Way::Click, "", 0}, {Way::Type, "127.5.6.7"}},
         "127|5|6|7",
         ""},
        {"a click into the middle replaces that number",
         false,
         {{Way::Click, "", 2}, {Way::Type, "9"}},
         "10|1|9|1",
         ""},
        {"a lone 0 gives way to the first digit",
         true,
         {{Way::Click, "", 3}, {Way::Type, "$5"}},
         "0|0|0|5",
         ""},
        {"arrows cross the full stops",
         false,
         {{Way::Click, "", 0}, {Way::Type, "12>3<<4"}},
         "124|3|1|1",
         ""},
        {"backspace walks back through empty numbers",
         true,
         {{Way::Click, "", 1}, {Way::Type, "\b\b\b7"}},
         "7||0|0",
         ""},
        {"letters refused, numbers clamped",
         true,
         {{Way::Click, "", 0}, {Way::Type, "a9x99"}},
         "255|0|0|0",
         ""},
        {"a whole address with blanks and a line break",
         true,
         {{Way::Click, "", 1}, {Way::Paste, "  192.168.1.20\n"}},
         "192|168|1|20",
         ""},
        {"leading zeros are decimal",
         true,
         {{Way::Click, "", 0}, {Way::Paste, "010.001.001.009"}},
         "10|1|1|9",
         ""},
        {"a lone number goes where pasted",
         false,
         {{Way::Click, "", 2}, {Way::Paste, " 42 "}},
         "10|1|42|1",
         ""},
        {"a port is refused",
         false,
         {{Way::Click, "", 0}, {Way::Paste, "10.2.3.4:8080"}},
         "10|1|1|1",
         notAddress},
        {"three numbers are refused",
         false,
         {{Way::Click, "", 0}, {Way::Paste, "10.2.3"}},
         "10|1|1|1",
         notAddress},
        {"a number above 255 is refused",
         false,
         {{Way::Click, "", 0}, {Way::Paste, "10.2.3.256"}},
         "10|1|1|1",
         tooLarge},
        {"the context menu pastes alike",
         true,
         {{Way::Click, "", 3}, {Way::MenuPaste, "172.16.0.1"}},
         "172|16|0|1",
         ""},
        {"a drop fills alike", true, {{Way::Drop, "172.16.0.2"}}, "172|16|0|2", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        recorder.messages.clear();
        if (c.startAtZero) {
            field.setAddress(0);
        } else {
            field.setAddress(0x0A010101);
        }
        for (const Act& act : c.acts) {
            QWidget* octet = field.octetField(act.octet);
            if (act.way == Way::Click || act.way == Way::Drop) {
                Do(act, octet, octet);
            } else {
                Do(act, nullptr, octet);
            }
        }
        QApplication::processEvents();
        EXPECT_EQ(texts(), c.shown);
        EXPECT_EQ(recorder.messages.empty() ? "" : recorder.messages.front().text, c.message);
    }
    field.clear();
    EXPECT_TRUE(field.isBlank());
    field.setAddress(0x0A0000FFu);
    EXPECT_TRUE(field.isComplete());
    EXPECT_EQ(field.address(), 0x0A0000FFu);
}

// One table for a one-line and a multi-line field under the same rule:
// names and notes characters, at most eight of them, opening with "ab".
TEST(FieldRules, EveryWayTextArrivesKeepsTheCharactersAndTheLimit) {
    const std::string tooLong = "Too long for this field: at most 8 characters.";
    struct Case {
        const char* what;
        std::vector<Act> acts;
        const char* shown;
        int beeps;
        std::string message;
    };
    const Case cases[] = {
        {"typed letters, digits, stop and blank", {{Way::Type, "c. 9"}}, "abc. 9", 0, ""},
        {"a typed quote beeps", {{Way::Type, "'x"}}, "abx", 1, ""},
        {"shortcuts copy, cut and paste",
         {{Way::SelectAll}, {Way::Copy}, {Way::Type, "$"}, {Way::Paste, nullptr}},
         "abab",
         0,
         ""},
        {"cut, then undo", {{Way::SelectAll}, {Way::Cut}, {Way::Undo}}, "ab", 0, ""},
        {"a paste with a hyphen beeps", {{Way::Paste, "x-y"}}, "ab", 1, ""},
        {"the menu's paste is ruled", {{Way::MenuPaste, "O'B"}}, "ab", 1, ""},
        {"a drop is ruled", {{Way::Drop, "x(y"}}, "ab", 1, ""},
        {"typing stops at the limit", {{Way::Type, "cdefghi"}}, "abcdefgh", 1, ""},
        {"a paste past the limit says so", {{Way::Paste, "cdefghi"}}, "ab", 0, tooLong},
        {"a paste up to the limit is taken", {{Way::Paste, "cdefgh"}}, "abcdefgh", 0, ""},
        {"undo after a refusal undoes the last taken change",
         {{Way::Type, "c"}, {Way::Paste, "x-y"}, {Way::Undo}},
         "ab",
         1,
         ""},
    };
    for (const bool multiLine : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.what) + (multiLine ? " (notes)" : " (line)"));
            HookRecorder recorder;
            int beeps = 0;
            recorder.hooks.beep = [&beeps] { ++beeps; };
            const TextRule rule{CharacterClass::NamesAndNotes, 8};
            QLineEdit line(QStringLiteral("ab"));
            RuledTextEdit notes(QStringLiteral("ab"), rule, recorder.hooks);
            FieldRules::Guard(&line, rule, recorder.hooks);
            QWidget* field = multiLine ? static_cast<QWidget*>(&notes) : &line;
            QWidget* surface = multiLine ? notes.viewport() : &line;
            field->show();
            field->setFocus();
            Type(field, "$");
            QApplication::processEvents();
            for (const Act& act : c.acts) {
                // Paste without a text of its own pastes what was copied.
                if (act.way == Way::Paste && act.text == nullptr) {
                    Shortcut(field, Qt::Key_V);
                    continue;
                }
                Do(act, field, surface);
            }
            QApplication::processEvents();
            EXPECT_EQ(multiLine ? notes.toPlainText() : line.text(), QString(c.shown));
            EXPECT_EQ(beeps, c.beeps);
            EXPECT_EQ(recorder.messages.empty() ? "" : recorder.messages.front().text, c.message);
        }
    }
}

TEST(FieldRules, TextTheProgramSetsIsCutToTheLimitAndKeepsItsCharacters) {
    HookRecorder recorder;
    QLineEdit line(QStringLiteral("Voltage 1 (0-30-60) and more"));
    FieldRules::Guard(&line, {CharacterClass::NamesAndNotes, 19}, recorder.hooks);
    EXPECT_EQ(line.text(), "Voltage 1 (0-30-60)");
    line.show();
    QTest::keyClick(&line, Qt::Key_Backspace);
    QTest::keyClicks(&line, ")");  // refused: only what the program set may hold it
    EXPECT_EQ(line.text(), "Voltage 1 (0-30-60");
    line.setText(QStringLiteral("Relay (spare) number one"));
    EXPECT_EQ(line.text(), "Relay (spare) numbe");
    RuledTextEdit notes(QString(600, 'n'), {CharacterClass::NamesAndNotes, 510}, recorder.hooks);
    EXPECT_EQ(notes.toPlainText().size(), 510);

    QLineEdit mac(QStringLiteral("c0"));
    FieldRules::Guard(&mac, {CharacterClass::Hexadecimal, 2}, recorder.hooks, true);
    mac.show();
    mac.clear();
    QTest::keyClicks(&mac, "fg");
    EXPECT_EQ(QStringList({mac.text()}), QStringList({"F"}));
}

}  // namespace
}  // namespace varnex
