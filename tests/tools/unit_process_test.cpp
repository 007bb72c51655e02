// The real varnex-unit program: started on 127.0.0.1 with a kernel-chosen
// port, asked once for its status, then ended through its console.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "unit_harness.h"

extern char** environ;

namespace varnex::unit::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto kDeadline = 10s;

// A child with pipes on its standard input, output and error.
class UnitProcess {
  public:
    explicit UnitProcess(std::vector<std::string> arguments) {
        int in[2], out[2], err[2];
        EXPECT_EQ(pipe2(in, O_CLOEXEC), 0);
        EXPECT_EQ(pipe2(out, O_CLOEXEC), 0);
        EXPECT_EQ(pipe2(err, O_CLOEXEC), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
        arguments.insert(arguments.begin(), VARNEX_UNIT_EXECUTABLE);
        std::vector<char*> argv;
        for (std::string& argument : arguments) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        EXPECT_EQ(posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        close(in[0]);
        close(out[1]);
        close(err[1]);
        input_ = in[1];
        output_ = out[0];
        error_ = err[0];
    }

    ~UnitProcess() {
        if (pid_ > 0 && !exitStatus_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        for (int fd : {input_, output_, error_}) {
            if (fd >= 0) {
                close(fd);
            }
        }
    }

    void Write(const std::string& text) {
        ASSERT_EQ(write(input_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    }

    void CloseInput() {
        close(input_);
        input_ = -1;
    }

    // The next line of standard output, within the deadline.
    std::optional<std::string> ReadLine() { return ReadLineFrom(output_, outBuffer_); }
    std::optional<std::string> ReadErrorLine() { return ReadLineFrom(error_, errBuffer_); }

    // Exit status, waiting at most the deadline.
    std::optional<int> Wait() {
        const auto end = Clock::now() + kDeadline;
        while (Clock::now() < end && !exitStatus_) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            } else {
                poll(nullptr, 0, 10);
            }
        }
        return exitStatus_;
    }

  private:
    std::optional<std::string> ReadLineFrom(int fd, std::string& buffer) {
        const auto end = Clock::now() + kDeadline;
        while (buffer.find('\n') == std::string::npos && Clock::now() < end) {
            pollfd ready{fd, POLLIN, 0};
            if (poll(&ready, 1, 100) <= 0) {
                continue;
            }
            char chunk[512];
            const ssize_t size = read(fd, chunk, sizeof chunk);
            if (size <= 0) {
                break;
            }
            buffer.append(chunk, static_cast<std::size_t>(size));
        }
        const auto newline = buffer.find('\n');
        if (newline == std::string::npos) {
            return std::nullopt;
        }
        std::string line = buffer.substr(0, newline);
        buffer.erase(0, newline + 1);
        return line;
    }

    pid_t pid_ = -1;
    int input_ = -1;
    int output_ = -1;
    int error_ = -1;
    std::string outBuffer_;
    std::string errBuffer_;
    std::optional<int> exitStatus_;
};

uint16_t ListeningPort(const std::string& line) {
    const std::string prefix = "varnex-unit listening on 127.0.0.1:";
    EXPECT_EQ(line.substr(0, prefix.size()), prefix);
    return static_cast<uint16_t>(std::stoi(line.substr(prefix.size())));
}

TEST(UnitProcess, AnswersAStatusRequestLogsItAndQuits) {
    UnitProcess unit({"--port", "0", "--name", "Process Unit"});
    const auto first = unit.ReadLine();
    ASSERT_TRUE(first);
    const uint16_t port = ListeningPort(*first);

    ClientSocket client;
    client.SendTo("127.0.0.1", port, Frame('1'));
    const auto reply =
        client.Receive(std::chrono::duration_cast<std::chrono::milliseconds>(kDeadline));
    ASSERT_TRUE(reply);
    ASSERT_EQ(reply->size(), 137u);
    EXPECT_EQ(std::string(reply->begin() + 77, reply->begin() + 89), "Process Unit");

    const auto logLine = unit.ReadLine();
    ASSERT_TRUE(logLine);
    EXPECT_NE(logLine->find(" from 127.0.0.1:"), std::string::npos) << *logLine;
    EXPECT_NE(logLine->find("\"1\" status record"), std::string::npos) << *logLine;

    unit.Write("pin 2 1\n");
    EXPECT_EQ(unit.ReadLine(), "pin 2 is 1");
    unit.Write("quit\n");
    EXPECT_EQ(unit.Wait(), 0);
}

TEST(UnitProcess, EndOfInputEndsTheUnit) {
    UnitProcess unit({"--port", "0", "--quiet"});
    ASSERT_TRUE(unit.ReadLine());
    unit.CloseInput();
    EXPECT_EQ(unit.Wait(), 0);
}

TEST(UnitProcess, BadOptionOrAddressExitsWithTwo) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--frobnicate"}, std::vector<std::string>{"--port", "x"},
          std::vector<std::string>{"--address", "192.0.2.1", "--port", "0"}}) {
        UnitProcess unit(arguments);
        const auto error = unit.ReadErrorLine();
        ASSERT_TRUE(error);
        EXPECT_EQ(error->rfind("varnex-unit: ", 0), 0u) << *error;
        EXPECT_EQ(unit.Wait(), 2) << arguments[0];
    }
}

}  // namespace
}  // namespace varnex::unit::testing
