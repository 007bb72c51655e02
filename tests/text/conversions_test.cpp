#include "text/conversions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace varnex {
namespace {

using namespace std::string_literals;

TEST(IntegerTexts, FormatAndParse) {
    EXPECT_EQ(FormatSigned(static_cast<int32_t>(4294967295u)), "-1");

    EXPECT_EQ(ParseUnsigned("4294967295"), 4294967295u);
    EXPECT_EQ(ParseUnsigned("4294967296"), 0u);                            // wraps modulo 2^32
    EXPECT_EQ(ParseUnsigned(std::string{'1', '2', '\0', '3', '4'}), 12u);  // the terminator ends it

    EXPECT_EQ(ParseLeadingInteger(" 12.35"), 12);
    EXPECT_EQ(ParseLeadingInteger("\t+42 "), 42);
    EXPECT_EQ(ParseLeadingInteger("-"), 0);
    EXPECT_EQ(ParseLeadingInteger("-2147483648"), INT32_MIN);
    // Only a code below '0' ends the number; letters are accumulated.
    EXPECT_EQ(ParseLeadingInteger("1a"), 10 + ('a' - '0'));

    EXPECT_EQ(ParseHex("DeadBeef"), 0xDEADBEEFu);
    EXPECT_EQ(FormatDottedAddress(0xC0A800FFu), "192.168.0.255");
}

TEST(ParseDottedAddress, AcceptsOnlyFourNumbersOfAtMost255) {
    const std::pair<const char*, std::optional<uint32_t>> cases[] = {
        {"10.10.10.10", 0x0A0A0A0Au}, {"255.255.255.255", 0xFFFFFFFFu},
        {"010.0.0.1", 0x0A000001u},   {"256.0.0.1", std::nullopt},
        {"1.2.3", std::nullopt},      {"1.2.3.4.5", std::nullopt},
        {"1..3.4", std::nullopt},     {"1.2.3.4 ", std::nullopt},
        {"1234.0.0.1", std::nullopt}, {"1.2.3.+4", std::nullopt},
    };
    for (const auto& [text, address] : cases) {
        EXPECT_EQ(ParseDottedAddress(text), address) << text;
    }
}

TEST(TextRoutines, TrimCompareFind) {
    EXPECT_EQ(TrimRight("  a\t\r\n\x01"), "  a");
    EXPECT_EQ(TrimRight("   "), "");
    EXPECT_EQ(TrimBoth(" \t x y \r\n"), "x y");

    EXPECT_EQ(TextsEqual("ON", "ON"), 2);
    EXPECT_EQ(TextsEqual("", ""), 0);
    EXPECT_EQ(TextsEqual("ON", "on"), 0);

    const struct {
        int start;
        const char* text;
        const char* pattern;
        int expected;
    } cases[] = {
        {1, "0.0073260", "0.00", 1}, {1, "10.0000000", "0.00", 2}, {1, "0.00", "0.00", -1},
        {0, "abcdef", "cd", -2},     {6, "abcdef", "cd", -2},      {5, "abcdef", "ef", 5},
        {4, "abcdcd", "cd", 5},      {1, "abcdef", "xy", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FindText(c.start, c.text, c.pattern), c.expected)
            << c.start << " '" << c.text << "' '" << c.pattern << "'";
    }
}

TEST(FormatDecimal, ExactTexts) {
    const struct {
        long double value;
        int decimals;
        const char* expected;
    } cases[] = {{-0.0L, 7, " 0"},
                 {0.001L, 2, " 0.00"},
                 {-0.001L, 2, "-0.00"},
                 {9.996L, 2, " 10.00"},
                 {1.0L / 4095.0L * 30.0L, 7, " 0.0073260"},
                 {-20.5L * 1.8L + 32.0L, 1, "-4.9"},
                 {2.5L, 0, " 2"},  // ties to even
                 {3.5L, 0, " 4"},
                 {1.0L, 20, " 1.000000000000000"},  // decimals capped at 15
                 // Fifteen significant places at most before the scientific form.
                 {123456789012345.0L, 2, " 123456789012345.0"},
                 {1234567890123456.0L, 2, " 1234567890123456"},
                 {9999999999999999.5L, 0, " 10000000000000000"},
                 {1e16L, 2, " 1.000000000000000E+0016"},
                 {99999999999999999.0L, 0, " 1.000000000000000E+0017"},  // rounding carries a digit
                 {-2.5e100L, 2, "-2.500000000000000E+0100"},
                 {1e-20L, 3, " 0.000"}};
    for (const auto& c : cases) {
        EXPECT_EQ(FormatDecimal(c.value, c.decimals), c.expected) << static_cast<double>(c.value);
    }
    EXPECT_EQ(FormatDecimal(std::nullopt, 2), "ERROR");
    EXPECT_EQ(FormatDecimal(std::numeric_limits<long double>::quiet_NaN(), 2), "ERROR");
    EXPECT_EQ(FormatDecimal(std::numeric_limits<long double>::infinity(), 2), "+INFINITY");
    EXPECT_EQ(FormatDecimal(-std::numeric_limits<long double>::infinity(), 2), "-INFINITY");
}

TEST(ParseDecimal, Grammar) {
    const std::pair<const char*, long double> accepted[] = {
        {"1.5e3", 1500.0L},
        {"  -0.25", -0.25L},
        {"+7", 7.0L},
        {"5.", 5.0L},
        {".5", 0.5L},
        {"-0.00", 0.0L},
        {"1E-2", 0.01L},
        {"000000000000000000000001", 1.0L},  // leading zeros are not significant
        {"123456789012345678", 123456789012345678.0L},
        {"0.1234567890123456780000", 0.123456789012345678L},  // extra zeros after the stop
        {"1e4931", 1e4931L}};
    for (const auto& [text, expected] : accepted) {
        const auto parsed = ParseDecimal(text);
        ASSERT_TRUE(parsed.has_value()) << "'" << text << "'";
        // A few units in the last place: huge exponents are scaled in steps.
        EXPECT_LE(fabsl(*parsed - expected), fabsl(expected) * 1e-18L) << "'" << text << "'";
    }
    // A 19th significant digit fails, even a zero before the stop; only
    // blanks may lead.
    for (const char* text : {"", "   ", "1..5", "+", ".", "1e+", "1e4932", "1234567890123456789",
                             "1234567890123456780", "0.1234567890123456789", "\t1", "1 "}) {
        EXPECT_FALSE(ParseDecimal(text).has_value()) << "'" << text << "'";
    }
    EXPECT_EQ(FormatDecimal(ParseDecimal("1e4931"), 2), " 1.000000000000000E+4931");
}

TEST(GetArgument, QuotingAndSeparators) {
    const struct {
        const char* line;
        int n;
        int result;
        std::string text;
    } cases[] = {
        {"varnex \"10.0.0.1\"", 1, 1, "10.0.0.1"},
        {"varnex \"\"", 1, 2, ""},
        {"varnex 10.0.0.1,x", 1, 1, "10.0.0.1"},
        {"varnex 10.0.0.1,x", 2, 1, "x"},
        {"varnex   ", 1, 2, ""},
        {"\"/opt/my app/varnex\" 127.0.0.1", 0, 1, "/opt/my app/varnex"},
        {"\"/opt/my app/varnex\" 127.0.0.1", 1, 1, "127.0.0.1"},
        {"\"/opt/my app/varnex 127.0.0.1", 1, 3, ""},  // unmatched on the way
        {"a\tb\r\nc", 2, 1, "c"},
        {"varnex ab\"cd\"", 1, 1, "ab"},       // a quote ends an unquoted copy
        {"varnex \"ab\"cd", 2, 1, "cd"},       // a character after a closing quote starts anew
        {"varnex \"ab\"\"cd\" e", 2, 1, "e"},  // adjacent quoted runs are one argument
        {"varnex x \"", 1, 1, "x"},            // a bad quote after the argument is not seen
        {"varnex \"10.0.0.1", 1, 3, ""},
        {"varnex \"", 1, 3, ""},  // a quote at the very end of the line
    };
    for (const auto& c : cases) {
        const Argument argument = GetArgument(c.line, c.n);
        EXPECT_EQ(std::pair(argument.result, argument.text), std::pair(c.result, c.text))
            << c.line << " #" << c.n;
    }
    // The terminator ends the line.
    EXPECT_EQ(GetArgument("varnex 1.2.3.4\0 5.6.7.8"s, 2).result, 2);
}

TEST(FormatDecimal, RoundTripsThroughParseDecimal) {
    std::mt19937_64 random(7);
    for (int round = 0; round < 2000; ++round) {
        const long double value =
            static_cast<long double>(static_cast<int64_t>(random() % 2000000000) - 1000000000) /
            1000.0L;
        const auto parsed = ParseDecimal(TrimBoth(FormatDecimal(value, 3)));
        ASSERT_TRUE(parsed.has_value());
        EXPECT_NEAR(static_cast<double>(*parsed), static_cast<double>(value), 1e-9);
    }
}

}  // namespace
}  // namespace varnex
