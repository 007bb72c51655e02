// What a paste into an IP-address field makes of the text: a whole address
// fills all four numbers, a lone number goes into the field pasted into,
// anything else is refused with the reason.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace varnex {

enum class AddressPasteKind { Number, Address, Refused };

struct AddressPaste {
    AddressPasteKind kind = AddressPasteKind::Refused;
    uint32_t value = 0;   // the number, or the address (first number most significant)
    std::string message;  // why it was refused
};

inline constexpr std::string_view kNotAnAddressText = "The pasted text is not an IP address.";
inline constexpr std::string_view kNumberTooLargeText = "Each number of an IP address is 0 to 255.";

// Blanks and line breaks around the text are dropped. Numbers are decimal
// whatever their leading zeros (010 is ten); a port or any other extra is
// refused rather than guessed away.
AddressPaste ReadAddressPaste(std::string_view text);

}  // namespace varnex
