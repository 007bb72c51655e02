#include "x_session.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <thread>

extern char** environ;

namespace varnex::testing {
namespace {

constexpr int kStartTimeoutMs = 10000;
constexpr auto kStep = std::chrono::milliseconds(50);

bool Spawn(pid_t& pid, std::vector<std::string> args, std::string& error) {
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    const int failed = posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ);
    if (failed != 0) {
        error = args[0] + " could not be started: " + std::strerror(failed);
        pid = -1;
        return false;
    }
    return true;
}

void Stop(pid_t& pid) {
    if (pid > 0) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
        pid = -1;
    }
}

struct Connection {
    Connection() : c(xcb_connect(nullptr, nullptr)) {}
    ~Connection() { xcb_disconnect(c); }
    bool ok() const { return xcb_connection_has_error(c) == 0; }
    xcb_window_t root() const { return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root; }
    xcb_connection_t* c;
};

xcb_atom_t Atom(const Connection& x, const char* name) {
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(x.c, xcb_intern_atom(x.c, 0, uint16_t(std::strlen(name)), name),
                              nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// A list of windows on the root window; nullopt while the property is not set.
std::optional<std::vector<uint32_t>> WindowList(const char* property) {
    const Connection x;
    if (!x.ok()) {
        return std::nullopt;
    }
    const std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(
            x.c, xcb_get_property(x.c, 0, x.root(), Atom(x, property), XCB_ATOM_WINDOW, 0, 1024),
            nullptr),
        &std::free);
    if (!reply || reply->type == XCB_ATOM_NONE) {
        return std::nullopt;
    }
    const auto* windows = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
    return std::vector<uint32_t>(windows, windows + xcb_get_property_value_length(reply.get()) / 4);
}

}  // namespace

XSession::~XSession() {
    Stop(windowManager_);
    Stop(xvfb_);
}

bool XSession::Start(std::string& error) {
    // Xvfb writes the display number it took into this pipe once it serves.
    int fds[2];
    if (pipe(fds) != 0) {
        error = "no pipe";
        return false;
    }
    fcntl(fds[0], F_SETFD, FD_CLOEXEC);
    const bool started = Spawn(xvfb_,
                               {"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0",
                                "1024x768x24", "-nolisten", "tcp"},
                               error);
    close(fds[1]);
    std::string number;
    pollfd ready{fds[0], POLLIN, 0};
    while (started && poll(&ready, 1, kStartTimeoutMs) == 1) {
        char c = 0;
        if (read(fds[0], &c, 1) != 1 || c == '\n') {
            break;
        }
        number += c;
    }
    close(fds[0]);
    if (!started) {
        return false;
    }
    if (number.empty()) {
        error = "Xvfb named no display";
        return false;
    }
    display_ = ":" + number;
    setenv("DISPLAY", display_.c_str(), 1);

    if (!Spawn(windowManager_, {"openbox", "--sm-disable"}, error)) {
        return false;
    }
    // openbox announces itself first and lists the windows it stacks once
    // it has finished starting: only then does it manage new windows.
    for (auto waited = std::chrono::milliseconds(0);
         waited < std::chrono::milliseconds(kStartTimeoutMs); waited += kStep) {
        if (WindowList("_NET_CLIENT_LIST_STACKING")) {
            return true;
        }
        std::this_thread::sleep_for(kStep);
    }
    error = "openbox did not take the display";
    return false;
}

std::vector<uint32_t> StackingOrder() {
    return WindowList("_NET_CLIENT_LIST_STACKING").value_or(std::vector<uint32_t>{});
}

uint32_t InputFocus() {
    const Connection x;
    if (!x.ok()) {
        return 0;
    }
    const std::unique_ptr<xcb_get_input_focus_reply_t, decltype(&std::free)> reply(
        xcb_get_input_focus_reply(x.c, xcb_get_input_focus(x.c), nullptr), &std::free);
    return reply ? reply->focus : 0;
}

}  // namespace varnex::testing
