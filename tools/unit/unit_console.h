// The simulator's console: one command a line on standard input, so a demo
// or a test can move the unit's inputs and its reply policy while it runs.
#pragma once

#include <string>

#include "unit/unit_fleet.h"
#include "unit/unit_server.h"

namespace varnex::unit {

struct ConsoleReply {
    std::string output;  // lines ending in '\n'; empty when there is nothing to say
    bool quit = false;
};

ConsoleReply RunConsoleLine(UnitServer& server, const std::string& line);
// A line for a fleet: "@ADDRESS command" speaks to the unit on ADDRESS,
// a line without it to the first unit.
ConsoleReply RunFleetConsoleLine(UnitFleet& fleet, const std::string& line);
std::string ConsoleHelp();
std::string DescribeState(const UnitServer& server);

}  // namespace varnex::unit
