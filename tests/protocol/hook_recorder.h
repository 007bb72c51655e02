// Platform hooks that record what the user would have seen.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/platform_hooks.h"

namespace varnex::testing {

struct HookRecorder {
    PlatformHooks hooks;
    std::vector<Message> messages;
    std::vector<std::pair<int, std::string>> popups;
    std::vector<std::string> events;  // messages and popups in order, by text
    uint32_t tick = 1;

    HookRecorder() {
        hooks.showMessage = [this](const Message& m) {
            messages.push_back(m);
            events.push_back("message:" + m.text);
        };
        hooks.showReturnMessage = [this](int code, const std::string& text) {
            popups.emplace_back(code, text);
            events.push_back("popup:" + text);
        };
        hooks.tickCount = [this] { return tick; };
    }
};

}  // namespace varnex::testing
