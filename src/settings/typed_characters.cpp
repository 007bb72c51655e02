#include "settings/typed_characters.h"

#include <algorithm>

namespace varnex {
namespace {

constexpr char32_t kBackspace = 8;

bool IsDigit(char32_t c) {
    return c >= '0' && c <= '9';
}

// Plain ASCII only: accented letters are refused.
bool IsLetter(char32_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsHexLetter(char32_t c) {
    return (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

}  // namespace

bool AcceptsTypedCharacter(CharacterClass characters, char32_t typed) {
    if (typed == kBackspace) {
        return true;
    }
    switch (characters) {
        case CharacterClass::AnyText:
            return true;
        case CharacterClass::NamesAndNotes:
            return IsDigit(typed) || IsLetter(typed) || typed == '.' || typed == ' ';
        case CharacterClass::Password:
            return IsDigit(typed) || IsLetter(typed);
        case CharacterClass::Hexadecimal:
            return IsDigit(typed) || IsHexLetter(typed);
        case CharacterClass::StationName:
            return IsDigit(typed) || IsLetter(typed) || typed == ' ';
    }
    return false;
}

EntryCheck CheckEntry(const TextRule& rule, std::u32string_view arriving, std::size_t lengthBefore,
                      std::size_t lengthAfter) {
    const bool allTaken = std::all_of(arriving.begin(), arriving.end(), [&rule](char32_t c) {
        return AcceptsTypedCharacter(rule.characters, c);
    });
    if (!allTaken) {
        return {false, true, {}};
    }
    if (rule.limit == 0 || lengthAfter <= rule.limit || lengthAfter <= lengthBefore) {
        return {};
    }
    // One more typed character at the limit only beeps; a longer text says why.
    if (arriving.size() <= 1) {
        return {false, true, {}};
    }
    return {false, false,
            "Too long for this field: at most " + std::to_string(rule.limit) + " characters."};
}

}  // namespace varnex
