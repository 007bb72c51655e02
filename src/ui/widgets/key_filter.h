// A per-field filter of typed characters: each key press whose character is
// not in the field's class is refused with the beep and never reaches the
// field. Text that arrives another way (pasted through the context menu) is
// not filtered.
#pragma once

#include <QObject>

#include "settings/typed_characters.h"

class QWidget;

namespace varnex {

struct PlatformHooks;

class KeyFilter : public QObject {
    Q_OBJECT
  public:
    // The filter belongs to `field`; `hooks` (for the beep) outlive it.
    static KeyFilter* Install(QWidget* field, CharacterClass characters,
                              const PlatformHooks& hooks);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    KeyFilter(CharacterClass characters, const PlatformHooks& hooks, QObject* parent);

    CharacterClass characters_;
    const PlatformHooks& hooks_;
};

}  // namespace varnex
