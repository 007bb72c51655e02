// Writes LZW code streams that the About box's decoder reads: the same code
// values and the same code-width rule.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace varnex {

// Packs codes least significant bit first, each as wide as the width rule
// says at that point of the stream (the width follows the clear codes and
// the entries a decoder defines). Lets tests write streams by hand.
std::vector<uint8_t> PackLzwCodes(std::span<const uint32_t> codes);

// The codes for data: a clear code first, the end code last, and a clear
// code whenever the 14-bit codes run out.
std::vector<uint32_t> LzwCodesFor(std::span<const uint8_t> data);

std::vector<uint8_t> EncodeLzwStream(std::span<const uint8_t> data);

}  // namespace varnex
