#include "ui/widgets/field_rules.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QTimer>

#include "platform/platform_hooks.h"

namespace varnex {
namespace {

std::size_t Length(const QString& text) {
    return std::size_t(text.toUcs4().size());
}

QString CutToLimit(const QString& text, const TextRule& rule) {
    if (rule.limit == 0 || Length(text) <= rule.limit) {
        return text;
    }
    const QList<uint> characters = text.toUcs4().first(qsizetype(rule.limit));
    return QString::fromUcs4(reinterpret_cast<const char32_t*>(characters.data()),
                             characters.size());
}

// What an edit put between the unchanged start and end of the text.
std::u32string Arriving(const QString& before, const QString& after) {
    const std::u32string old = before.toStdU32String();
    const std::u32string now = after.toStdU32String();
    std::size_t start = 0;
    while (start < old.size() && start < now.size() && old[start] == now[start]) {
        ++start;
    }
    std::size_t end = 0;
    while (end < old.size() - start && end < now.size() - start &&
           old[old.size() - 1 - end] == now[now.size() - 1 - end]) {
        ++end;
    }
    return now.substr(start, now.size() - start - end);
}

// The beep at once; a message only after the field has finished its change,
// since a message box runs an event loop of its own.
bool Apply(const EntryCheck& check, const PlatformHooks& hooks, QObject* field) {
    if (check.beep) {
        hooks.beep();
    }
    if (!check.message.empty()) {
        QTimer::singleShot(0, field, [&hooks, text = check.message] {
            hooks.showMessage(
                Message{MessageOwner::ActiveDialog, text, "", MessageIcon::Exclamation});
        });
    }
    return check.taken;
}

}  // namespace

FieldRules::FieldRules(QLineEdit* field, TextRule rule, const PlatformHooks& hooks, bool upperCase)
    : QValidator(field), field_(field), rule_(rule), hooks_(hooks), upperCase_(upperCase) {}

FieldRules* FieldRules::Guard(QLineEdit* field, TextRule rule, const PlatformHooks& hooks,
                              bool upperCase) {
    auto* rules = new FieldRules(field, rule, hooks, upperCase);
    field->setText(CutToLimit(upperCase ? field->text().toUpper() : field->text(), rule));
    rules->before_ = field->text();
    field->setValidator(rules);
    return rules;
}

QValidator::State FieldRules::validate(QString& input, int&) const {
    // An unmodified field holds what the program set, or what undo brought
    // back: text that was taken once.
    if (field_->isModified()) {
        const EntryCheck check =
            CheckEntry(rule_, Arriving(before_, input), Length(before_), Length(input));
        if (!Apply(check, hooks_, field_)) {
            return Invalid;
        }
    } else {
        input = CutToLimit(input, rule_);
    }
    if (upperCase_) {
        input = input.toUpper();
    }
    before_ = input;
    return Acceptable;
}

RuledTextEdit::RuledTextEdit(const QString& text, TextRule rule, const PlatformHooks& hooks,
                             QWidget* parent)
    : QPlainTextEdit(parent), rule_(rule), hooks_(hooks) {
    setPlainText(CutToLimit(text, rule));
}

bool RuledTextEdit::Admits(const QString& arriving) {
    const std::size_t before = std::size_t(document()->characterCount() - 1);
    const std::size_t selected = Length(textCursor().selectedText());
    const std::size_t incoming = Length(arriving);
    return Apply(CheckEntry(rule_, arriving.toStdU32String(), before, before - selected + incoming),
                 hooks_, this);
}

void RuledTextEdit::keyPressEvent(QKeyEvent* event) {
    // Shortcuts and keys that move type nothing and pass as they are.
    const bool lineBreak = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const QString text = lineBreak ? QStringLiteral("\n") : event->text();
    const bool types = lineBreak || (!text.isEmpty() && text.front().isPrint());
    if (types && !Admits(text)) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void RuledTextEdit::inputMethodEvent(QInputMethodEvent* event) {
    if (!event->commitString().isEmpty() && !Admits(event->commitString())) {
        event->accept();
        return;
    }
    QPlainTextEdit::inputMethodEvent(event);
}

void RuledTextEdit::insertFromMimeData(const QMimeData* source) {
    if (source->hasText() && !Admits(source->text())) {
        return;
    }
    QPlainTextEdit::insertFromMimeData(source);
}

}  // namespace varnex
