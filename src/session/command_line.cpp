#include "session/command_line.h"

#include "text/conversions.h"

namespace varnex {

std::string JoinCommandLine(const std::vector<std::string>& argv) {
    std::string line;
    for (const std::string& word : argv) {
        if (!line.empty()) {
            line += ' ';
        }
        const bool hasBlank = word.find_first_of(" \t") != std::string::npos;
        const bool hasQuote = word.find('"') != std::string::npos;
        if (hasBlank && !hasQuote) {
            line += '"' + word + '"';
        } else {
            line += word;
        }
    }
    return line;
}

StartUpCommand ReadStartUpCommand(std::string_view commandLine) {
    if (commandLine.size() > kMaxCommandLineLength) {
        return {StartUpRequest::CommandLineTooLong, {}};
    }
    const Argument argument = GetArgument(commandLine, 1);
    switch (argument.result) {
        case 1: {
            std::string address = TrimBoth(argument.text);
            if (address.size() > kMaxStationAddressLength) {
                return {StartUpRequest::InvalidAddress, {}};
            }
            return {StartUpRequest::StartStation, std::move(address)};
        }
        case 3:
            return {StartUpRequest::MismatchedQuotes, {}};
        default:
            return {StartUpRequest::LoadDefaultStation, {}};
    }
}

}  // namespace varnex
