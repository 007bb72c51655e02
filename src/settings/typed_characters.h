// Which characters a text field of the settings dialogs takes, and how many.
// The rule holds for every way text arrives: typing, pasting, dropping. A
// refused character is answered with the beep; a paste or drop that would
// pass the field's limit is refused whole and the user is told why.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace varnex {

enum class CharacterClass {
    AnyText,        // every character; only the length is ruled
    NamesAndNotes,  // digits, ASCII letters, full stop, blank
    Password,       // digits, ASCII letters
    Hexadecimal,    // 0-9, A-F, a-f
    StationName,    // digits, ASCII letters, blank
};

bool AcceptsTypedCharacter(CharacterClass characters, char32_t typed);

struct TextRule {
    CharacterClass characters = CharacterClass::AnyText;
    std::size_t limit = 0;  // characters; 0 for none
};

struct EntryCheck {
    bool taken = true;
    bool beep = false;
    std::string message;  // shown to the user when not empty
};

// `arriving` is what comes into the field at once (one typed character, or
// a whole paste); the lengths are the field's before and after the change.
// A change that shortens the field is always taken, so a field can be
// edited down to its limit.
EntryCheck CheckEntry(const TextRule& rule, std::u32string_view arriving, std::size_t lengthBefore,
                      std::size_t lengthAfter);

}  // namespace varnex
