// Any command line, any argument number: a defined result, never a fault.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "text/conversions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const int n = data[0] % 8;
    const std::string_view line(reinterpret_cast<const char*>(data + 1), size - 1);
    const varnex::Argument argument = varnex::GetArgument(line, n);
    if (argument.result < 1 || argument.result > 3 || argument.text.size() > line.size()) {
        __builtin_trap();
    }
    return 0;
}
