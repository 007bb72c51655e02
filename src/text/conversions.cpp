#include "text/conversions.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace varnex {

namespace {

// Largest significand the decimal routines carry: 18 digits fit in 64 bits.
constexpr int kMaxSignificantDigits = 18;
constexpr int kMaxDecimalExponent = 4931;
constexpr uint64_t kDecimalLimit = 1'000'000'000'000'000'000ULL;  // 10^18
constexpr int kMaxDecimals = 15;

bool IsBelowBlank(char c) {
    return static_cast<unsigned char>(c) < 33;
}

// The zero terminator ends every text, even inside a longer view.
std::string_view UpToTerminator(std::string_view text) {
    const auto end = text.find('\0');
    return end == std::string_view::npos ? text : text.substr(0, end);
}

// Powers of ten from 10^-kTabledExponent to 10^kTabledExponent, computed once:
// every voltage, temperature and uptime text needs one, and powl is slow.
constexpr int kTabledExponent = 32;
const std::array<long double, 2 * kTabledExponent + 1>& PowerTable() {
    static const auto table = [] {
        std::array<long double, 2 * kTabledExponent + 1> powers{};
        for (int e = -kTabledExponent; e <= kTabledExponent; ++e) {
            powers[e + kTabledExponent] = powl(10.0L, static_cast<long double>(e));
        }
        return powers;
    }();
    return table;
}

long double PowerOfTen(int exponent) {
    if (exponent >= -kTabledExponent && exponent <= kTabledExponent) {
        return PowerTable()[exponent + kTabledExponent];
    }
    return powl(10.0L, static_cast<long double>(exponent));
}

// mantissa x 10^scale without overflowing the intermediate power of ten.
long double Scale(uint64_t mantissa, int scale) {
    long double value = static_cast<long double>(mantissa);
    constexpr int kStep = 4000;
    while (scale > kStep) {
        value *= PowerOfTen(kStep);
        scale -= kStep;
    }
    while (scale < -kStep) {
        value /= PowerOfTen(kStep);
        scale += kStep;
    }
    return scale >= 0 ? value * PowerOfTen(scale) : value / PowerOfTen(-scale);
}

// The largest e with 10^e <= magnitude (magnitude > 0 and finite).
int DecimalExponent(long double magnitude) {
    const auto& powers = PowerTable();
    if (magnitude >= powers.front() && magnitude < powers.back()) {
        const auto above = std::upper_bound(powers.begin(), powers.end(), magnitude);
        return static_cast<int>(above - powers.begin()) - 1 - kTabledExponent;
    }
    int e = static_cast<int>(floorl(log10l(magnitude)));
    if (PowerOfTen(e) > magnitude) {
        --e;
    } else if (PowerOfTen(e + 1) <= magnitude) {
        ++e;
    }
    return e;
}

// sign, then the digits of `digits` with a full stop before the last
// `decimals` of them and at least one digit before the stop.
std::string FixedForm(char sign, uint64_t digits, int decimals) {
    char buffer[48];
    char* const end = buffer + sizeof buffer;
    char* p = end;
    int written = 0;
    do {
        *--p = static_cast<char>('0' + digits % 10);
        digits /= 10;
        if (++written == decimals) {
            *--p = '.';
        }
    } while (digits != 0 || written <= decimals);
    *--p = sign;
    return std::string(p, end);
}

std::string ScientificForm(char sign, long double magnitude, int exponent) {
    uint64_t digits = static_cast<uint64_t>(rintl(magnitude * PowerOfTen(kMaxDecimals - exponent)));
    if (digits >= 10'000'000'000'000'000ULL) {  // rounding carried into a 17th digit
        ++exponent;
        digits = static_cast<uint64_t>(rintl(magnitude * PowerOfTen(kMaxDecimals - exponent)));
    }
    // Only reached for exponents above 15, so the exponent's sign is always '+'.
    std::string text = FixedForm(sign, digits, kMaxDecimals) + "E+";
    const std::string exponentDigits = std::to_string(exponent);
    text.append(4 - std::min<std::size_t>(4, exponentDigits.size()), '0');
    return text + exponentDigits;
}

bool IsArgumentSeparator(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == ',';
}

}  // namespace

std::string FormatSigned(int32_t value) {
    return std::to_string(value);
}

uint32_t ParseUnsigned(std::string_view text) {
    uint32_t value = 0;
    for (const char c : UpToTerminator(text)) {
        value = value * 10u + static_cast<uint32_t>(static_cast<unsigned char>(c) - 48u);
    }
    return value;
}

int32_t ParseLeadingInteger(std::string_view text) {
    text = UpToTerminator(text);
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    uint32_t value = 0;  // unsigned: overflow wraps as the 32-bit register did
    for (; i < text.size() && static_cast<unsigned char>(text[i]) >= '0'; ++i) {
        value = value * 10u + static_cast<uint32_t>(static_cast<unsigned char>(text[i]) - 48u);
    }
    return static_cast<int32_t>(negative ? 0u - value : value);
}

uint32_t ParseHex(std::string_view text) {
    uint32_t value = 0;
    for (const char c : UpToTerminator(text)) {
        uint32_t digit = 0;
        if (c >= '0' && c <= '9') {
            digit = static_cast<uint32_t>(c - '0');
        } else if (c >= 'A' && c <= 'F') {
            digit = static_cast<uint32_t>(c - 'A' + 10);
        } else if (c >= 'a' && c <= 'f') {
            digit = static_cast<uint32_t>(c - 'a' + 10);
        }
        value = value * 16u + digit;
    }
    return value;
}

std::string FormatDottedAddress(uint32_t address) {
    return std::to_string(address >> 24) + "." + std::to_string((address >> 16) & 0xFF) + "." +
           std::to_string((address >> 8) & 0xFF) + "." + std::to_string(address & 0xFF);
}

std::optional<uint32_t> ParseDottedAddress(std::string_view text) {
    constexpr int kFields = 4;
    constexpr std::size_t kMaxDigits = 3;
    constexpr uint32_t kMaxField = 255;
    uint32_t address = 0;
    for (int field = 0; field < kFields; ++field) {
        const bool last = field + 1 == kFields;
        const std::size_t end = last ? text.size() : text.find('.');
        if (end == std::string_view::npos) {
            return std::nullopt;
        }
        const std::string_view number = text.substr(0, end);
        if (number.empty() || number.size() > kMaxDigits ||
            number.find_first_not_of("0123456789") != std::string_view::npos ||
            ParseUnsigned(number) > kMaxField) {
            return std::nullopt;
        }
        address = (address << 8) | ParseUnsigned(number);
        text.remove_prefix(last ? end : end + 1);
    }
    return address;
}

std::string TrimRight(std::string_view text) {
    text = UpToTerminator(text);
    while (!text.empty() && IsBelowBlank(text.back())) {
        text.remove_suffix(1);
    }
    return std::string(text);
}

std::string TrimBoth(std::string_view text) {
    text = UpToTerminator(text);
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    return TrimRight(text);
}

int TextsEqual(std::string_view a, std::string_view b) {
    a = UpToTerminator(a);
    b = UpToTerminator(b);
    return a == b ? static_cast<int>(a.size()) : 0;
}

int FindText(int start, std::string_view text, std::string_view pattern) {
    text = UpToTerminator(text);
    pattern = UpToTerminator(pattern);
    if (pattern.size() >= text.size()) {
        return -1;
    }
    const int lastStart = static_cast<int>(text.size() - pattern.size()) + 1;
    if (start < 1 || start > lastStart) {
        return -2;
    }
    const auto found = text.find(pattern, static_cast<std::size_t>(start - 1));
    return found == std::string_view::npos ? 0 : static_cast<int>(found) + 1;
}

std::optional<long double> ParseDecimal(std::string_view text) {
    text = UpToTerminator(text);
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') {
        ++i;
    }
    if (i == text.size()) {
        return std::nullopt;
    }
    bool negative = false;
    if (text[i] == '+' || text[i] == '-') {
        negative = text[i] == '-';
        ++i;
    }
    uint64_t mantissa = 0;
    int significant = 0;
    int decimals = 0;  // accepted digits after the full stop
    bool anyDigit = false;
    bool afterStop = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.') {
            if (afterStop) {
                return std::nullopt;
            }
            afterStop = true;
            continue;
        }
        if (c < '0' || c > '9') {
            break;
        }
        anyDigit = true;
        if (significant == 0 && c == '0') {
            decimals += afterStop ? 1 : 0;
            continue;
        }
        if (significant == kMaxSignificantDigits) {
            if (afterStop && c == '0') {
                continue;  // trailing zeros beyond the kept digits change nothing
            }
            return std::nullopt;
        }
        mantissa = mantissa * 10 + static_cast<uint64_t>(c - '0');
        ++significant;
        decimals += afterStop ? 1 : 0;
    }
    if (!anyDigit) {
        return std::nullopt;
    }
    int exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            negativeExponent = text[i] == '-';
            ++i;
        }
        bool exponentDigit = false;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
            exponentDigit = true;
            exponent = exponent * 10 + (text[i] - '0');
            if (exponent > kMaxDecimalExponent) {
                return std::nullopt;
            }
        }
        if (!exponentDigit) {
            return std::nullopt;
        }
        exponent = negativeExponent ? -exponent : exponent;
    }
    if (i != text.size()) {
        return std::nullopt;
    }
    if (mantissa == 0) {
        return 0.0L;
    }
    const long double magnitude = Scale(mantissa, exponent - decimals);
    return negative ? -magnitude : magnitude;
}

std::string FormatDecimal(std::optional<long double> value, int decimals) {
    if (!value || std::isnan(*value)) {
        return "ERROR";
    }
    if (std::isinf(*value)) {
        return *value > 0 ? "+INFINITY" : "-INFINITY";
    }
    if (*value == 0.0L) {
        return " 0";
    }
    const char sign = *value < 0 ? '-' : ' ';
    const long double magnitude = fabsl(*value);
    const int e = DecimalExponent(magnitude);
    if (e > kMaxDecimals) {
        return ScientificForm(sign, magnitude, e);
    }
    int d = decimals < 0 ? 0 : (decimals > kMaxDecimals ? kMaxDecimals : decimals);
    if (e >= 0 && e + d > kMaxDecimals) {
        d = kMaxDecimals - e;
    }
    // rintl rounds in the default mode, ties to even (nearbyintl only adds a
    // costly save and restore of the floating-point flags).
    const long double rounded = rintl(magnitude * PowerOfTen(d));
    if (rounded >= static_cast<long double>(kDecimalLimit)) {
        return "ERROR";
    }
    return FixedForm(sign, static_cast<uint64_t>(rounded), d);
}

Argument GetArgument(std::string_view commandLine, int n) {
    const std::string_view line = UpToTerminator(commandLine);
    const auto atEnd = [&](std::size_t i) { return i >= line.size(); };
    std::size_t i = 0;
    int index = 0;
    while (true) {
        while (!atEnd(i) && IsArgumentSeparator(line[i])) {
            ++i;
        }
        if (atEnd(i)) {
            return {2, ""};
        }
        // An argument starts at i.
        if (index == n) {
            std::string text;
            if (line[i] == '"') {
                const auto close = line.find('"', i + 1);
                if (close == std::string_view::npos) {
                    return {3, ""};
                }
                text = line.substr(i + 1, close - i - 1);
            } else {
                const auto end = line.find_first_of(" \t\n\r,\"", i);
                text = line.substr(i, end == std::string_view::npos ? end : end - i);
            }
            return {text.empty() ? 2 : 1, text};
        }
        // Skip argument `index`; a quoted run closes it when an ordinary
        // character follows straight away.
        bool startsNext = false;
        while (!atEnd(i) && !IsArgumentSeparator(line[i]) && !startsNext) {
            if (line[i] != '"') {
                ++i;
                continue;
            }
            const auto close = line.find('"', i + 1);
            if (close == std::string_view::npos) {
                return {3, ""};
            }
            i = close + 1;
            startsNext = !atEnd(i) && !IsArgumentSeparator(line[i]) && line[i] != '"';
        }
        ++index;
    }
}

std::string UptimeText(uint32_t seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%u d %02u:%02u:%02u", seconds / 86400, seconds / 3600 % 24,
                  seconds / 60 % 60, seconds % 60);
    return text;
}

}  // namespace varnex
