#include "settings/typed_characters.h"

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

}  // namespace varnex
