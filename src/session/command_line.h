// What the program's command line asks for at start-up: one optional
// argument, the IP address of a station in the database.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "stations/station_message.h"

namespace varnex {

inline constexpr std::size_t kMaxCommandLineLength = 128;
inline constexpr std::size_t kMaxStationAddressLength = 15;

inline constexpr const char* kCommandLineTooLongText = "The command line length is too long!";
inline constexpr const char* kInvalidAddressText = "Invalid IP Address";
inline constexpr const char* kMismatchedQuotesText = "Shazbot! Non matching quotation marks !";

enum class StartUpRequest {
    CommandLineTooLong,  // the program closes
    InvalidAddress,      // argument longer than an address; stay Idle
    MismatchedQuotes,    // stay Idle
    StartStation,        // load the named station and press START
    LoadDefaultStation,  // no argument: load the list's default station
};

struct StartUpCommand {
    StartUpRequest request;
    std::string address;  // the trimmed argument, for StartStation
};

// The whole command line as one text, program path first. An argument that
// holds a blank is quoted so that it stays one argument.
std::string JoinCommandLine(const std::vector<std::string>& argv);

StartUpCommand ReadStartUpCommand(std::string_view commandLine);

}  // namespace varnex
