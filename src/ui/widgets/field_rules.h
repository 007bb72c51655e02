// Text fields that keep their rule (which characters, how many) for every
// way text arrives: typing, the paste shortcut, the context menu, drag and
// drop, and undo. The standard editing shortcuts work as usual; a refused
// character beeps, a paste beyond the limit is refused with a message.
#pragma once

#include <QPlainTextEdit>
#include <QValidator>

#include "settings/typed_characters.h"

class QLineEdit;

namespace varnex {

struct PlatformHooks;

class FieldRules : public QValidator {
    Q_OBJECT
  public:
    // The rules belong to `field`; `hooks` outlive it. The field's text is
    // cut to the limit now, and so is any text the program sets later, so
    // that it never shows more than will be read. With `upperCase` letters
    // show in upper case however they were typed.
    static FieldRules* Guard(QLineEdit* field, TextRule rule, const PlatformHooks& hooks,
                             bool upperCase = false);

    State validate(QString& input, int& pos) const override;

  private:
    FieldRules(QLineEdit* field, TextRule rule, const PlatformHooks& hooks, bool upperCase);

    QLineEdit* field_;
    TextRule rule_;
    const PlatformHooks& hooks_;
    bool upperCase_;
    // The text last taken: what an edit adds is told from it.
    mutable QString before_;
};

// A multi-line field under the same rules.
class RuledTextEdit : public QPlainTextEdit {
    Q_OBJECT
  public:
    // `text` is shown cut to the limit.
    RuledTextEdit(const QString& text, TextRule rule, const PlatformHooks& hooks,
                  QWidget* parent = nullptr);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

  private:
    // True when `arriving` may replace the selection.
    bool Admits(const QString& arriving);

    TextRule rule_;
    const PlatformHooks& hooks_;
};

}  // namespace varnex
