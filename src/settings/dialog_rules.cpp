#include "settings/dialog_rules.h"

namespace varnex {

std::string FieldText(std::string_view text, std::size_t count) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        // A continuation byte belongs to the character before it.
        const bool startsCharacter = (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
        if (startsCharacter && characters++ == count) {
            return std::string(text.substr(0, i));
        }
    }
    return std::string(text);
}

}  // namespace varnex
