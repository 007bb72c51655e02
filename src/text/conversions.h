// Text and number conversions shared by every subsystem: the exact texts of
// counters, voltages, temperatures, addresses and the command line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace varnex {

std::string FormatSigned(int32_t value);
uint32_t ParseUnsigned(std::string_view text);
int32_t ParseLeadingInteger(std::string_view text);
uint32_t ParseHex(std::string_view text);
// "3 d 04:05:06": a unit's uptime as people read it.
std::string UptimeText(uint32_t seconds);
std::string FormatDottedAddress(uint32_t address);  // first field in the most significant byte
// Four numbers 0..255 of one to three digits, dot-separated, nothing else.
std::optional<uint32_t> ParseDottedAddress(std::string_view text);
std::string TrimRight(std::string_view text);  // drops trailing chars below 33
std::string TrimBoth(std::string_view text);
int TextsEqual(std::string_view a, std::string_view b);
int FindText(int start, std::string_view text, std::string_view pattern);
std::optional<long double> ParseDecimal(std::string_view text);             // nullopt = failure
std::string FormatDecimal(std::optional<long double> value, int decimals);  // nullopt -> "ERROR"

// result: 1 the argument exists and is not empty, 2 no such argument (or ""),
// 3 mismatched quotation marks.
struct Argument {
    int result;
    std::string text;
};
Argument GetArgument(std::string_view commandLine, int n);

}  // namespace varnex
