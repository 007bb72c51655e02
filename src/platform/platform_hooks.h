// Everything that reaches outside the process or to the user goes through
// these hooks. The UI sets them once; tests replace them with recorders.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace varnex {

enum class MessageIcon { None, Stop, Exclamation, Information, Question };

// Which window a message box belongs to: the main window, or the dialog
// that is open and asking.
enum class MessageOwner { MainWindow, ActiveDialog };

struct Message {
    MessageOwner owner = MessageOwner::MainWindow;
    std::string text;     // "\r\n" separates lines
    std::string caption;  // empty: the toolkit's default
    MessageIcon icon = MessageIcon::None;
};

struct PlatformHooks {
    std::function<void(const Message&)> showMessage = [](const Message&) {};
    // Yes/No question; true when the user answers Yes.
    std::function<bool(const Message&)> askYesNo = [](const Message&) { return false; };
    // The one-second return-message popup for a unit's return code.
    std::function<void(int code, const std::string& text)> showReturnMessage =
        [](int, const std::string&) {};
    // Starts an external program from an argument vector (never a shell);
    // false when it could not be started.
    std::function<bool(const std::vector<std::string>& argv)> launch =
        [](const std::vector<std::string>&) { return false; };
    // Whether a program that `launch` started with exactly this argv still runs.
    std::function<bool(const std::vector<std::string>& argv)> stillRunning =
        [](const std::vector<std::string>&) { return false; };
    // The real path of a program found on the search path, links followed.
    std::function<std::optional<std::string>(const std::string& name)> findProgram =
        [](const std::string&) { return std::optional<std::string>{}; };
    std::function<uint32_t()> tickCount = [] { return uint32_t{0}; };
    std::function<void()> beep = [] {};
    // The local host's IPv4 address (first field in the most significant byte).
    std::function<std::optional<uint32_t>()> localAddress = [] {
        return std::optional<uint32_t>{};
    };
    // The per-user settings store.
    std::function<std::optional<std::string>(const std::string& key)> readSetting =
        [](const std::string&) { return std::optional<std::string>{}; };
    std::function<bool(const std::string& key, const std::string& value)> writeSetting =
        [](const std::string&, const std::string&) { return false; };
};

}  // namespace varnex
