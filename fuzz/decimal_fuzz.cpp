// Parse any text as a decimal, format what comes out with any number of
// decimals, and parse the formatted text back.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "text/conversions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const int decimals = data[0] % 18;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    const auto value = varnex::ParseDecimal(text);
    const std::string formatted = varnex::FormatDecimal(value, decimals);
    if (formatted.empty()) {
        __builtin_trap();
    }
    // A finite fixed-form result reads back as a number.
    if (value && std::isfinite(*value) && formatted.find('E') == std::string::npos &&
        !varnex::ParseDecimal(varnex::TrimBoth(formatted))) {
        __builtin_trap();
    }
    varnex::ParseLeadingInteger(text);
    varnex::ParseUnsigned(text);
    varnex::ParseHex(text);
    return 0;
}
