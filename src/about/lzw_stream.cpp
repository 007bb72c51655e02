#include "about/lzw_stream.h"

#include <cstring>
#include <memory>

namespace varnex {

namespace {

// Every dictionary entry is the previous code's string plus one byte, and
// that string already sits in the output right where it was produced; an
// entry is therefore just a place in the output, and expanding it is a copy.
struct Entry {
    uint32_t offset;
    uint32_t length;
};

class BitReader {
  public:
    explicit BitReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    std::optional<uint32_t> Read(int width) {
        if (position_ + static_cast<size_t>(width) > bytes_.size() * 8) {
            return std::nullopt;
        }
        const size_t index = position_ / 8;
        // A code spans at most three bytes (7 + 14 bits).
        uint32_t window = bytes_[index];
        if (index + 1 < bytes_.size()) {
            window |= uint32_t{bytes_[index + 1]} << 8;
        }
        if (index + 2 < bytes_.size()) {
            window |= uint32_t{bytes_[index + 2]} << 16;
        }
        const uint32_t code = (window >> (position_ % 8)) & ((1u << width) - 1);
        position_ += static_cast<size_t>(width);
        return code;
    }

  private:
    std::span<const uint8_t> bytes_;
    size_t position_ = 0;
};

// Copies an earlier stretch of the output forward. The code being defined
// overlaps its own source, so that case goes byte by byte.
void CopyForward(uint8_t* base, size_t from, size_t to, size_t length, size_t capacity) {
    uint8_t* destination = base + to;
    const uint8_t* source = base + from;
    if (from + length > to) {
        for (size_t i = 0; i < length; ++i) {
            destination[i] = source[i];
        }
    } else if (length <= 16 && capacity - to >= 16) {
        uint8_t chunk[16];
        std::memcpy(chunk, source, sizeof chunk);
        std::memcpy(destination, chunk, sizeof chunk);
    } else {
        std::memcpy(destination, source, length);
    }
}

}  // namespace

std::optional<size_t> DecodeLzwStream(std::span<const uint8_t> stream, std::span<uint8_t> output) {
    const auto dictionary = std::make_unique_for_overwrite<Entry[]>(kLzwDictionaryEntries);
    BitReader reader(stream);
    LzwCodeWidth codes;
    Entry previous{0, 0};  // length 0: none, at the start and after a clear code
    size_t written = 0;
    const size_t capacity = output.size();

    for (;;) {
        const auto code = reader.Read(codes.width);
        if (!code) {
            return std::nullopt;
        }
        if (*code == kLzwClearCode) {
            codes.Reset();
            previous = Entry{0, 0};
            continue;
        }
        if (*code == kLzwEndCode) {
            return written;
        }
        Entry current{static_cast<uint32_t>(written), 1};
        if (*code < 256) {
            if (written >= capacity) {
                return std::nullopt;
            }
            output[written] = static_cast<uint8_t>(*code);
        } else if (previous.length == 0 || *code > codes.nextFree) {
            return std::nullopt;
        } else {
            const Entry source = *code < codes.nextFree
                                     ? dictionary[*code - kLzwFirstEntry]
                                     : Entry{previous.offset, previous.length + 1};
            if (source.length > capacity - written) {
                return std::nullopt;
            }
            CopyForward(output.data(), source.offset, written, source.length, capacity);
            current.length = source.length;
        }
        if (previous.length != 0) {
            if (codes.nextFree - kLzwFirstEntry >= kLzwDictionaryEntries) {
                return std::nullopt;
            }
            dictionary[codes.nextFree - kLzwFirstEntry] = {previous.offset, previous.length + 1};
            codes.EntryAdded();
        }
        written += current.length;
        previous = current;
    }
}

}  // namespace varnex
