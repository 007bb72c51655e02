#include "assets/lzw_encoder.h"

#include <unordered_map>

#include "about/lzw_stream.h"

namespace varnex {

std::vector<uint8_t> PackLzwCodes(std::span<const uint32_t> codes) {
    std::vector<uint8_t> bytes;
    uint64_t pending = 0;
    int pendingBits = 0;
    LzwCodeWidth width;
    bool afterClear = true;  // the code after a clear defines no entry
    for (const uint32_t code : codes) {
        pending |= uint64_t{code & ((1u << width.width) - 1)} << pendingBits;
        pendingBits += width.width;
        for (; pendingBits >= 8; pendingBits -= 8, pending >>= 8) {
            bytes.push_back(static_cast<uint8_t>(pending));
        }
        if (code == kLzwClearCode) {
            width.Reset();
            afterClear = true;
        } else if (afterClear) {
            afterClear = false;
        } else {
            width.EntryAdded();
        }
    }
    if (pendingBits > 0) {
        bytes.push_back(static_cast<uint8_t>(pending));
    }
    return bytes;
}

std::vector<uint32_t> LzwCodesFor(std::span<const uint8_t> data) {
    constexpr uint32_t kCodeCount = 1u << kLzwMaxWidth;
    std::vector<uint32_t> codes{kLzwClearCode};
    if (data.empty()) {
        codes.push_back(kLzwEndCode);
        return codes;
    }
    std::unordered_map<uint32_t, uint32_t> entries;  // prefix code << 8 | byte -> code
    uint32_t nextFree = kLzwFirstEntry;
    uint32_t prefix = data[0];
    for (const uint8_t byte : data.subspan(1)) {
        const uint32_t key = prefix << 8 | byte;
        if (const auto found = entries.find(key); found != entries.end()) {
            prefix = found->second;
            continue;
        }
        codes.push_back(prefix);
        if (nextFree < kCodeCount) {
            entries.emplace(key, nextFree++);
        } else {
            codes.push_back(kLzwClearCode);
            entries.clear();
            nextFree = kLzwFirstEntry;
        }
        prefix = byte;
    }
    codes.push_back(prefix);
    codes.push_back(kLzwEndCode);
    return codes;
}

std::vector<uint8_t> EncodeLzwStream(std::span<const uint8_t> data) {
    return PackLzwCodes(LzwCodesFor(data));
}

}  // namespace varnex
