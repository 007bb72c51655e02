// A session against a loopback peer, with recorded hooks and a station
// lookup that knows one station at 127.0.0.1.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/hook_recorder.h"
#include "protocol/loopback_peer.h"
#include "session/session.h"

namespace varnex::testing {

inline LoadedStation LabStation() {
    LoadedStation s;
    s.address = "127.0.0.1";
    s.password = "secret****";
    s.comment = "Lab";
    s.jumper6 = "ON";
    s.jumper7 = "ON";
    s.views.fill("STANDARD");
    s.labels = {"Battery", "Solar", "", "Mains", "Pump", "Sensor A", "Sensor B", "Probe"};
    s.relayNames = {"Pump", "Fan", "Light"};
    return s;
}

struct SessionHarness {
    HookRecorder recorder;
    LoopbackPeer peer;
    LoadedStation known = LabStation();
    std::string listText = "127.0.0.1        Lab";
    std::vector<std::string> lookups;
    Session session{recorder.hooks, SessionSeams{
                                        [this](const std::string& ip) {
                                            lookups.push_back(ip);
                                            return ip == known.address
                                                       ? std::optional<LoadedStation>(known)
                                                       : std::nullopt;
                                        },
                                        [this] { return listText; },
                                        [] { return 2026; },
                                        LinkOptions{peer.port()},
                                    }};

    // START, and the peer takes the first request.
    std::vector<uint8_t> Start() {
        session.StartSession();
        auto request = peer.Receive();
        EXPECT_TRUE(request.has_value());
        return request.value_or(std::vector<uint8_t>{});
    }

    // The peer answers the last request; the session reads and parses it.
    bool Deliver(const std::vector<uint8_t>& reply) {
        peer.Reply(reply);
        if (!WaitReadable(session.link().socketDescriptor())) {
            return false;
        }
        session.OnSocketNotification(0);
        return true;
    }

    bool TimerRunning(int id) const {
        for (const auto& t : session.timers()) {
            if (t.id == id) {
                return t.running;
            }
        }
        return false;
    }
};

// The ids of the running window timers, in the table's order.
inline std::vector<int> RunningTimers(const Session& session) {
    std::vector<int> ids;
    for (const auto& t : session.timers()) {
        if (t.running) {
            ids.push_back(t.id);
        }
    }
    return ids;
}

// A status reply of 137 bytes with the given fields.
inline std::vector<uint8_t> StatusBytes(
    const std::vector<std::pair<std::size_t, std::vector<uint8_t>>>& fields = {}) {
    std::vector<uint8_t> bytes(137, 0);
    bytes[65] = 1;
    bytes[66] = 7;
    bytes[67] = 4;
    bytes[36] = bytes[37] = bytes[38] = 1;
    for (const auto& [offset, values] : fields) {
        std::memcpy(bytes.data() + offset, values.data(), values.size());
    }
    return bytes;
}

inline std::vector<uint8_t> TextBytes(std::string_view text) {
    return {text.begin(), text.end()};
}

// A command as the unit receives it with the lab station's password:
// magic, letter, password field, `parameters` from byte 20, `filler` up to
// byte 275, then zeros.
inline std::vector<uint8_t> CommandFrame(char letter, const std::vector<uint8_t>& parameters = {},
                                         uint8_t filler = '*') {
    std::vector<uint8_t> frame = TextBytes(std::string("%$KQV1964") + letter + "secret****");
    frame.insert(frame.end(), parameters.begin(), parameters.end());
    frame.resize(275, filler);
    frame.resize(285, 0);
    return frame;
}

}  // namespace varnex::testing
