// Where a password comes from: a file or standard input, an environment
// variable, or a prompt on the terminal without echo. Never the command line
// but for the visible --password the man page warns about.
#pragma once

#include <optional>
#include <string>
#include <variant>

#include "varnexctl/exit_status.h"

namespace varnex::ctl {

// The first line of the file (`-`: standard input), its line end removed.
std::variant<std::string, Failure> ReadPasswordFile(const std::string& path,
                                                    const std::string& argumentName);

// Asks on /dev/tty with echo off; nullopt when there is no terminal.
std::optional<std::string> PromptPassword(const std::string& prompt);

// A password the unit can take: 1 to 10 digits or ASCII letters.
std::optional<Failure> CheckPasswordText(const std::string& password,
                                         const std::string& argumentName);

}  // namespace varnex::ctl
