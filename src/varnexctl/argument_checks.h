// The checks every argument passes before anything is sent: whole numbers
// and decimals written in full, texts with only the characters the unit
// takes, MAC addresses and relay-script steps. Each refusal names its
// argument.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "protocol/unit_frames.h"
#include "varnexctl/exit_status.h"

namespace varnex::ctl {

// Only digits, at most one full stop, an optional leading sign.
std::variant<double, Failure> CheckDecimal(const std::string& text, const std::string& name,
                                           double low, double high);
// Only digits.
std::variant<long, Failure> CheckWhole(const std::string& text, const std::string& name, long low,
                                       long high);

// A unit text: 1..`limit` characters, digits, ASCII letters, blanks and
// (with `fullStop`) full stops.
std::optional<Failure> CheckUnitText(const std::string& text, const std::string& name,
                                     std::size_t limit, bool fullStop);

// "on" or "off".
std::variant<bool, Failure> CheckOnOff(const std::string& text, const std::string& name);

// XX:XX:XX:XX:XX:XX (or with '-'), neither a group address nor all zero.
std::variant<MacBytes, Failure> CheckMac(const std::string& text, const std::string& name);

// A dotted IPv4 address, first number in the most significant byte.
std::variant<uint32_t, Failure> CheckAddress(const std::string& text, const std::string& name);

// Steps "relayN:on", "relayN:off" (N 1..3) and "delay:S" (S 1..5) as the
// step texts the record encoder takes; 1 to 16 of them.
std::variant<std::vector<std::string>, Failure> CheckSteps(const std::vector<std::string>& steps);

// Quoted for a message: at most 40 characters of it.
std::string Shown(const std::string& text);

}  // namespace varnex::ctl
