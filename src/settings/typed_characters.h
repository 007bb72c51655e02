// Which characters a text field of the settings dialogs takes from the
// keyboard. Backspace is always taken; everything else is refused with the
// beep. Only typing is filtered: text that arrives another way (pasted
// through the context menu) is not.
#pragma once

namespace varnex {

enum class CharacterClass {
    NamesAndNotes,  // digits, ASCII letters, full stop, blank
    Password,       // digits, ASCII letters
    Hexadecimal,    // 0-9, A-F, a-f
    StationName,    // digits, ASCII letters, blank
};

bool AcceptsTypedCharacter(CharacterClass characters, char32_t typed);

}  // namespace varnex
