#include "settings/typed_characters.h"

#include <gtest/gtest.h>

#include <string>

namespace varnex {
namespace {

// Which of a sample of typed characters each field class takes.
TEST(AcceptsTypedCharacter, EachClassTakesItsCharactersAndBackspace) {
    struct Case {
        CharacterClass characters;
        std::u32string accepted;
        std::u32string refused;
    };
    const Case cases[] = {
        {CharacterClass::NamesAndNotes, U"09AZaz. \b", U"'-(*,\x16\x03\r\t\u00e9\u00c4_"},
        {CharacterClass::Password, U"09AZaz\b", U" .'-*\x16\u00e9"},
        {CharacterClass::Hexadecimal, U"09AFaf\b", U"gGzZ .:-\x16"},
        {CharacterClass::StationName, U"09AZaz \b", U".'-(\x16\u00e9"},
    };
    for (const Case& c : cases) {
        for (const char32_t typed : c.accepted) {
            EXPECT_TRUE(AcceptsTypedCharacter(c.characters, typed))
                << static_cast<int>(c.characters) << " " << static_cast<uint32_t>(typed);
        }
        for (const char32_t typed : c.refused) {
            EXPECT_FALSE(AcceptsTypedCharacter(c.characters, typed))
                << static_cast<int>(c.characters) << " " << static_cast<uint32_t>(typed);
        }
    }
}

}  // namespace
}  // namespace varnex
