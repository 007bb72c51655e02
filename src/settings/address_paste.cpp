#include "settings/address_paste.h"

#include <algorithm>

#include "text/conversions.h"

namespace varnex {
namespace {

constexpr uint32_t kLargestNumber = 255;
constexpr std::string_view kDigits = "0123456789";
constexpr std::string_view kSpace = " \t\r\n";

bool AllDigits(std::string_view text) {
    return !text.empty() && text.find_first_not_of(kDigits) == std::string_view::npos;
}

// Beyond 255 whatever its length; leading zeros do not count.
bool TooLarge(std::string_view digits) {
    digits.remove_prefix(std::min(digits.find_first_not_of('0'), digits.size()));
    return digits.size() > 3 || ParseUnsigned(digits) > kLargestNumber;
}

AddressPaste Refused(std::string_view why) {
    return {AddressPasteKind::Refused, 0, std::string(why)};
}

}  // namespace

AddressPaste ReadAddressPaste(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kSpace);
    if (first == std::string_view::npos) {
        return Refused(kNotAnAddressText);
    }
    text = text.substr(first, text.find_last_not_of(kSpace) - first + 1);

    // Four groups of digits with full stops between them.
    std::size_t groups = 0;
    bool tooLarge = false;
    for (std::string_view rest = text;; ++groups) {
        const std::size_t dot = rest.find('.');
        const std::string_view group = rest.substr(0, dot);
        if (!AllDigits(group)) {
            return Refused(kNotAnAddressText);
        }
        tooLarge = tooLarge || TooLarge(group);
        if (dot == std::string_view::npos) {
            ++groups;
            break;
        }
        rest.remove_prefix(dot + 1);
    }
    if (groups != 1 && groups != 4) {
        return Refused(kNotAnAddressText);
    }
    if (tooLarge) {
        return Refused(kNumberTooLargeText);
    }
    if (groups == 1) {
        return {AddressPasteKind::Number, ParseUnsigned(text), {}};
    }
    uint32_t address = 0;
    for (std::string_view rest = text; !rest.empty();) {
        const std::size_t dot = rest.find('.');
        address = (address << 8) | ParseUnsigned(rest.substr(0, dot));
        rest.remove_prefix(dot == std::string_view::npos ? rest.size() : dot + 1);
    }
    return {AddressPasteKind::Address, address, {}};
}

}  // namespace varnex
