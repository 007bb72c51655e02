#include "about/lzw_stream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "assets/lzw_encoder.h"

namespace varnex {
namespace {

std::optional<std::vector<uint8_t>> Decode(const std::vector<uint8_t>& stream, size_t capacity) {
    std::vector<uint8_t> output(capacity);
    const auto length = DecodeLzwStream(stream, output);
    if (!length) {
        return std::nullopt;
    }
    output.resize(*length);
    return output;
}

std::vector<uint8_t> Bytes(std::string_view text) {
    return {text.begin(), text.end()};
}

// Writes codes with widths given by hand, independent of the encoder's rule.
std::vector<uint8_t> PackWithWidths(const std::vector<std::pair<uint32_t, int>>& codes) {
    std::vector<uint8_t> bytes;
    size_t bit = 0;
    for (const auto& [code, width] : codes) {
        for (int i = 0; i < width; ++i, ++bit) {
            if (bit / 8 >= bytes.size()) {
                bytes.push_back(0);
            }
            bytes[bit / 8] |= static_cast<uint8_t>(((code >> i) & 1) << (bit % 8));
        }
    }
    return bytes;
}

std::vector<uint8_t> RandomBytes(size_t size, uint32_t seed, int alphabet) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> pick(0, alphabet - 1);
    std::vector<uint8_t> bytes(size);
    std::generate(bytes.begin(), bytes.end(), [&] { return static_cast<uint8_t>(pick(random)); });
    return bytes;
}

TEST(LzwStream, EncoderOutputDecodesToTheSameBytes) {
    std::vector<uint8_t> repetitive;
    for (int i = 0; i < 20000; ++i) {
        repetitive.push_back(static_cast<uint8_t>("abcabcabd"[i % 9]));
    }
    const struct {
        const char* name;
        std::vector<uint8_t> data;
        bool reachesWidestCodes;  // the stream crosses every width and a clear code
    } cases[] = {
        {"empty", {}, false},
        {"one byte", {0x7F}, false},
        {"one run", std::vector<uint8_t>(100000, 0), false},
        {"repetitive", repetitive, false},
        {"few symbols", RandomBytes(150000, 1, 4), true},
        {"random", RandomBytes(120000, 2, 256), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto codes = LzwCodesFor(c.data);
        EXPECT_EQ(codes.front(), kLzwClearCode);
        EXPECT_EQ(codes.back(), kLzwEndCode);
        const bool clearsAgain = std::count(codes.begin(), codes.end(), kLzwClearCode) > 1;
        EXPECT_EQ(clearsAgain, c.reachesWidestCodes);
        const auto decoded = Decode(PackLzwCodes(codes), c.data.size());
        ASSERT_TRUE(decoded.has_value());
        EXPECT_EQ(*decoded, c.data);
    }
}

TEST(LzwStream, HandWrittenStreamsExpand) {
    const uint32_t A = 'A', B = 'B';
    const struct {
        const char* name;
        std::vector<std::pair<uint32_t, int>> codes;
        std::string expected;
    } cases[] = {
        {"clear, bytes, an entry, end", {{256, 9}, {A, 9}, {B, 9}, {258, 9}, {257, 9}}, "ABAB"},
        // 259 is the code being defined: the previous "B" plus its own first byte.
        {"the code being defined", {{256, 9}, {A, 9}, {B, 9}, {259, 9}, {257, 9}}, "ABBB"},
        {"no clear at the start", {{A, 9}, {B, 9}, {257, 9}}, "AB"},
        {"clear in the middle", {{256, 9}, {A, 9}, {A, 9}, {256, 9}, {B, 9}, {257, 9}}, "AAB"},
        {"only the end code", {{257, 9}}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto decoded = Decode(PackWithWidths(c.codes), 64);
        ASSERT_TRUE(decoded.has_value());
        EXPECT_EQ(*decoded, Bytes(c.expected));
    }
}

TEST(LzwStream, TheWidthGrowsOnceTheNextFreeCodeReaches512) {
    // After the clear code, codes 1 to 255 are 9 bits; the 255th defines
    // entry 511, the next free code becomes 512 and the 256th is 10 bits.
    std::vector<std::pair<uint32_t, int>> codes{{kLzwClearCode, 9}};
    for (int i = 0; i < 255; ++i) {
        codes.push_back({'x', 9});
    }
    codes.push_back({'y', 10});
    codes.push_back({kLzwEndCode, 10});
    const auto decoded = Decode(PackWithWidths(codes), 1000);
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(*decoded, Bytes(std::string(255, 'x') + "y"));
    EXPECT_EQ(PackLzwCodes([&] {
                  std::vector<uint32_t> plain;
                  for (const auto& code : codes) {
                      plain.push_back(code.first);
                  }
                  return plain;
              }()),
              PackWithWidths(codes));
}

std::vector<uint32_t> ClearThenLiterals(size_t count) {
    std::vector<uint32_t> codes{kLzwClearCode};
    codes.insert(codes.end(), count, 'a');
    codes.push_back(kLzwEndCode);
    return codes;
}

TEST(LzwStream, AStreamMayDefineAsManyEntriesAsTheDictionaryHolds) {
    // Every literal after the first defines one entry.
    const auto decoded = Decode(PackLzwCodes(ClearThenLiterals(kLzwDictionaryEntries + 1)), 40000);
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(decoded->size(), kLzwDictionaryEntries + 1);
}

TEST(LzwStream, MalformedStreamsAreRefused) {
    const auto good = EncodeLzwStream(Bytes("TOBEORNOTTOBEORTOBEORNOT"));
    const struct {
        const char* name;
        std::vector<uint8_t> stream;
    } cases[] = {
        {"more entries than the dictionary holds",
         PackLzwCodes(ClearThenLiterals(kLzwDictionaryEntries + 2))},
        {"cut before the end code", {good.begin(), good.end() - 2}},
        {"cut in the middle", {good.begin(), good.begin() + good.size() / 2}},
        {"no bytes at all", {}},
        {"a code beyond the one being defined",
         PackWithWidths({{256, 9}, {'a', 9}, {'b', 9}, {300, 9}, {257, 9}})},
        {"an entry right after the clear code", PackWithWidths({{256, 9}, {258, 9}, {257, 9}})},
        {"an entry before any byte", PackWithWidths({{258, 9}, {257, 9}})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(Decode(c.stream, 40000).has_value());
    }
}

TEST(LzwStream, OutputLongerThanTheBufferIsRefusedWithoutWritingPastIt) {
    const auto data = RandomBytes(5000, 3, 3);
    const auto stream = EncodeLzwStream(data);
    for (const size_t capacity : {size_t{0}, size_t{1}, size_t{100}, size_t{4999}}) {
        SCOPED_TRACE(capacity);
        std::vector<uint8_t> buffer(capacity + 64, 0xA5);
        EXPECT_FALSE(DecodeLzwStream(stream, std::span(buffer).subspan(32, capacity)).has_value());
        EXPECT_TRUE(
            std::all_of(buffer.begin(), buffer.begin() + 32, [](uint8_t b) { return b == 0xA5; }));
        EXPECT_TRUE(
            std::all_of(buffer.end() - 32, buffer.end(), [](uint8_t b) { return b == 0xA5; }));
    }
}

}  // namespace
}  // namespace varnex
