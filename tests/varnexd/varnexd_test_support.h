// Shared pieces of the varnexd tests: files in a throw-away folder, a
// command's output, a free loopback TCP port, the exposition text parsed
// back into series, and promtool's verdict on it.
#pragma once

#include <arpa/inet.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <utility>

#include "stations/station_test_support.h"

namespace varnex::varnexd::testing {

using varnex::testing::ShellQuoted;
using varnex::testing::TempFolder;

inline void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path) << text;
}

// Exit status and standard output and error together.
inline std::pair<int, std::string> RunCommand(const std::string& command) {
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        return {-1, ""};
    }
    std::string output;
    char chunk[4096];
    for (std::size_t size; (size = fread(chunk, 1, sizeof chunk, pipe)) > 0;) {
        output.append(chunk, size);
    }
    const int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

// A port of the given socket type the kernel just had free on `address`.
inline uint16_t FreePort(int socketType, const char* address) {
    const int fd = socket(AF_INET, socketType, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    inet_pton(AF_INET, address, &local.sin_addr);
    bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local);
    socklen_t size = sizeof local;
    getsockname(fd, reinterpret_cast<sockaddr*>(&local), &size);
    close(fd);
    return ntohs(local.sin_port);
}
inline uint16_t FreeTcpPort() { return FreePort(SOCK_STREAM, "127.0.0.1"); }
inline uint16_t FreeUdpPort(const char* address) { return FreePort(SOCK_DGRAM, address); }

// Each sample line as "name{labels}" -> value; comments left out.
inline std::map<std::string, double> ParseSeries(const std::string& text) {
    std::map<std::string, double> series;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        const auto blank = line.rfind(' ');
        series[line.substr(0, blank)] = std::stod(line.substr(blank + 1));
    }
    return series;
}

// promtool's exit status and findings for an exposition text.
inline std::pair<int, std::string> PromtoolCheckMetrics(const std::string& text) {
    TempFolder folder;
    WriteFile(folder.File("metrics.txt"), text);
    return RunCommand("promtool check metrics < " + ShellQuoted(folder.File("metrics.txt")));
}

}  // namespace varnex::varnexd::testing
