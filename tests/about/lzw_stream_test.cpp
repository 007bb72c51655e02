#include "about/lzw_stream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "assets/lzw_encoder.h"

namespace varnex {
namespace {

using Codes = std::vector<std::pair<uint32_t, int>>;  // code and width in bits

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
std::vector<uint8_t> PackWithWidths(const Codes& codes) {
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

std::vector<uint32_t> ClearThenLiterals(size_t count) {
    std::vector<uint32_t> codes{kLzwClearCode};
    codes.insert(codes.end(), count, 'a');
    codes.push_back(kLzwEndCode);
    return codes;
}

TEST(LzwStream, EncoderOutputDecodesToTheSameBytes) {
    // data, and whether the stream crosses every width and clears again
    const std::pair<std::vector<uint8_t>, bool> cases[] = {
        {{}, false},
        {std::vector<uint8_t>(100000, 0), false},
        {RandomBytes(150000, 1, 4), true},
        {RandomBytes(120000, 2, 256), true},
    };
    for (const auto& [data, clearsAgain] : cases) {
        SCOPED_TRACE(data.size());
        const auto codes = LzwCodesFor(data);
        EXPECT_EQ(codes.front(), kLzwClearCode);
        EXPECT_EQ(codes.back(), kLzwEndCode);
        EXPECT_EQ(std::count(codes.begin(), codes.end(), kLzwClearCode) > 1, clearsAgain);
        EXPECT_EQ(Decode(PackLzwCodes(codes), data.size()), data);
    }
}

TEST(LzwStream, HandWrittenStreamsExpand) {
    const uint32_t A = 'A', B = 'B';
    const std::pair<Codes, std::string> cases[] = {
        {{{256, 9}, {A, 9}, {B, 9}, {258, 9}, {257, 9}}, "ABAB"},
        // 259 is the code being defined: the previous "B" plus its own first byte.
        {{{256, 9}, {A, 9}, {B, 9}, {259, 9}, {257, 9}}, "ABBB"},
        {{{A, 9}, {B, 9}, {257, 9}}, "AB"},  // no clear code at the start
        {{{256, 9}, {A, 9}, {A, 9}, {256, 9}, {B, 9}, {257, 9}}, "AAB"},
    };
    for (const auto& [codes, expected] : cases) {
        EXPECT_EQ(Decode(PackWithWidths(codes), 64), Bytes(expected)) << expected;
    }
}

TEST(LzwStream, TheWidthGrowsOnceTheNextFreeCodeReaches512) {
    // After the clear code, codes 1 to 255 are 9 bits; the 255th defines
    // entry 511, the next free code becomes 512 and the 256th is 10 bits.
    auto plain = ClearThenLiterals(255);
    plain.back() = 'y';
    plain.push_back(kLzwEndCode);
    Codes codes;
    for (const uint32_t code : plain) {
        codes.push_back({code, codes.size() < 256 ? 9 : 10});
    }
    EXPECT_EQ(Decode(PackWithWidths(codes), 1000), Bytes(std::string(255, 'a') + "y"));
    EXPECT_EQ(PackLzwCodes(plain), PackWithWidths(codes));  // the encoder's rule agrees
}

TEST(LzwStream, MalformedStreamsAreRefused) {
    // As many entries as the dictionary holds are fine: each literal after the first defines one.
    const auto full = Decode(PackLzwCodes(ClearThenLiterals(kLzwDictionaryEntries + 1)), 40000);
    ASSERT_TRUE(full.has_value());
    EXPECT_EQ(full->size(), kLzwDictionaryEntries + 1);

    const auto good = EncodeLzwStream(Bytes("TOBEORNOTTOBEORTOBEORNOT"));
    const std::pair<const char*, std::vector<uint8_t>> cases[] = {
        {"more entries than the dictionary holds",
         PackLzwCodes(ClearThenLiterals(kLzwDictionaryEntries + 2))},
        {"cut before the end code", {good.begin(), good.end() - 2}},
        {"no bytes at all", {}},
        {"a code beyond the one being defined",
         PackWithWidths({{256, 9}, {'a', 9}, {'b', 9}, {300, 9}, {257, 9}})},
        {"an entry right after the clear code", PackWithWidths({{256, 9}, {258, 9}, {257, 9}})},
        {"an entry before any byte", PackWithWidths({{258, 9}, {257, 9}})},
    };
    for (const auto& [name, stream] : cases) {
        EXPECT_FALSE(Decode(stream, 40000).has_value()) << name;
    }
}

TEST(LzwStream, OutputLongerThanTheBufferIsRefusedWithoutWritingPastIt) {
    const auto stream = EncodeLzwStream(RandomBytes(5000, 3, 3));
    for (const size_t capacity : {size_t{0}, size_t{4999}}) {
        SCOPED_TRACE(capacity);
        std::vector<uint8_t> buffer(capacity + 64, 0xA5);
        EXPECT_FALSE(DecodeLzwStream(stream, std::span(buffer).subspan(32, capacity)).has_value());
        const auto untouched = [](uint8_t b) { return b == 0xA5; };
        EXPECT_TRUE(std::all_of(buffer.begin(), buffer.begin() + 32, untouched));
        EXPECT_TRUE(std::all_of(buffer.end() - 32, buffer.end(), untouched));
    }
}

}  // namespace
}  // namespace varnex
