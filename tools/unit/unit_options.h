// The command line of varnex-unit.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "unit/unit_state.h"

namespace varnex::unit {

struct UnitOptions {
    UnitSetup setup;
    std::string address = "127.0.0.1";
    uint16_t port = 7;
    std::size_t units = 1;  // consecutive addresses from `address` on
    unsigned dropEvery = 0;
    unsigned delayMs = 0;
    bool quiet = false;
    bool help = false;
};

struct ParsedOptions {
    std::optional<UnitOptions> options;
    std::string error;  // one line, when options is empty
};

// `arguments` without the program name.
ParsedOptions ParseUnitOptions(const std::vector<std::string>& arguments);
std::string UsageText();

// Shared with the console: whole numbers, strictly.
std::optional<uint64_t> ParseWhole(const std::string& text, uint64_t max);

}  // namespace varnex::unit
