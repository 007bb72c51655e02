#include "ui/widgets/key_filter.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>

#include "platform/platform_hooks.h"

namespace varnex {
namespace {

// Keys the dialog acts on rather than the field: they move the focus, close
// the dialog or press its default button (Enter only from a one-line field;
// in a multi-line field it would type a line break).
bool IsDialogKey(const QKeyEvent& key, const QObject* field) {
    switch (key.key()) {
        case Qt::Key_Escape:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Delete:
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return qobject_cast<const QLineEdit*>(field) != nullptr;
        default:
            return false;
    }
}

// With Control held a letter types its control character, as the copy and
// paste shortcuts do on the keyboard.
char32_t TypedCharacter(const QKeyEvent& key, char32_t character) {
    const bool control = key.modifiers().testFlag(Qt::ControlModifier);
    if (control && character < 128 && QChar::isLetter(character)) {
        return QChar::toUpper(character) & 0x1F;
    }
    return character;
}

}  // namespace

KeyFilter::KeyFilter(CharacterClass characters, const PlatformHooks& hooks, QObject* parent)
    : QObject(parent), characters_(characters), hooks_(hooks) {}

KeyFilter* KeyFilter::Install(QWidget* field, CharacterClass characters,
                              const PlatformHooks& hooks) {
    auto* filter = new KeyFilter(characters, hooks, field);
    field->installEventFilter(filter);
    return filter;
}

bool KeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    const auto& key = static_cast<const QKeyEvent&>(*event);
    if (key.text().isEmpty() || IsDialogKey(key, watched)) {
        return false;  // arrows, modifiers alone and the like type nothing
    }
    for (const char32_t character : key.text().toUcs4()) {
        if (!AcceptsTypedCharacter(characters_, TypedCharacter(key, character))) {
            hooks_.beep();
            return true;
        }
    }
    return false;
}

}  // namespace varnex
