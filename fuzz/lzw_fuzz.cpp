// Any byte stream through the picture and font decompressor.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "about/lzw_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static std::vector<uint8_t> output(1 << 20);
    const auto expanded = varnex::DecodeLzwStream({data, size}, output);
    if (expanded && *expanded > output.size()) {
        __builtin_trap();
    }
    return 0;
}
