// The variable-width LZW code stream that carries the About box's packed
// pictures and font.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace varnex {

inline constexpr uint32_t kLzwClearCode = 256;
inline constexpr uint32_t kLzwEndCode = 257;
inline constexpr uint32_t kLzwFirstEntry = 258;
inline constexpr int kLzwMaxWidth = 14;
inline constexpr size_t kLzwDictionaryEntries = 27306;

// The code-width rule, shared by the decoder and by anything that writes
// streams: 9 bits after a clear code, one more each time the next free code
// reaches the limit, never beyond 14.
struct LzwCodeWidth {
    int width = 9;
    uint32_t limit = 512;
    uint32_t nextFree = kLzwFirstEntry;

    void Reset() { *this = LzwCodeWidth{}; }
    void EntryAdded() {
        ++nextFree;
        if (nextFree == limit && width < kLzwMaxWidth) {
            ++width;
            limit *= 2;
        }
    }
};

// Expands a stream into output and returns the number of bytes it stands
// for. Refused (nullopt): a stream that ends before its end code, uses a
// code beyond the one being defined, starts (or follows a clear code) with a
// code that is not a byte, defines more entries than the dictionary holds,
// or expands to more than output holds. Bytes of output past the returned
// count may have been written.
std::optional<size_t> DecodeLzwStream(std::span<const uint8_t> stream, std::span<uint8_t> output);

}  // namespace varnex
