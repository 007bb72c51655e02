#include "varnexctl/password_input.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cctype>
#include <csignal>
#include <fstream>
#include <iostream>

#include "protocol/wire_format.h"

namespace varnex::ctl {

std::variant<std::string, Failure> ReadPasswordFile(const std::string& path,
                                                    const std::string& argumentName) {
    std::string line;
    if (path == "-") {
        if (!std::getline(std::cin, line) && line.empty()) {
            return UsageError(argumentName + ": nothing on standard input");
        }
    } else {
        std::ifstream file(path);
        if (!file) {
            return UsageError(argumentName + ": cannot read " + path);
        }
        std::getline(file, line);
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return line;
}

namespace {

// Ctrl-C at the prompt must not leave the terminal without echo.
int promptTerminal = -1;
termios promptSaved{};

void RestoreAndStop(int signal) {
    tcsetattr(promptTerminal, TCSAFLUSH, &promptSaved);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

}  // namespace

std::optional<std::string> PromptPassword(const std::string& prompt) {
    const int tty = open("/dev/tty", O_RDWR | O_CLOEXEC);
    if (tty < 0) {
        return std::nullopt;
    }
    termios saved{};
    const bool isTerminal = tcgetattr(tty, &saved) == 0;
    if (!isTerminal) {
        close(tty);
        return std::nullopt;
    }
    termios quiet = saved;
    quiet.c_lflag &= static_cast<tcflag_t>(~ECHO);
    (void)!write(tty, prompt.data(), prompt.size());
    promptTerminal = tty;
    promptSaved = saved;
    auto* const previousInt = std::signal(SIGINT, RestoreAndStop);
    auto* const previousTerm = std::signal(SIGTERM, RestoreAndStop);
    tcsetattr(tty, TCSAFLUSH, &quiet);
    std::string password;
    char c = 0;
    while (read(tty, &c, 1) == 1 && c != '\n' && password.size() < 1024) {
        password += c;
    }
    tcsetattr(tty, TCSAFLUSH, &saved);
    std::signal(SIGINT, previousInt);
    std::signal(SIGTERM, previousTerm);
    (void)!write(tty, "\n", 1);
    close(tty);
    return password;
}

std::optional<Failure> CheckPasswordText(const std::string& password,
                                         const std::string& argumentName) {
    if (password.empty() || password.size() > wire::kPasswordSize) {
        return UsageError(argumentName + ": a password has 1 to 10 characters");
    }
    for (const char c : password) {
        if (!std::isalnum(static_cast<unsigned char>(c))) {
            return UsageError(argumentName + ": a password holds only digits and ASCII letters");
        }
    }
    return std::nullopt;
}

}  // namespace varnex::ctl
