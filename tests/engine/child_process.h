// A program the test starts and always stops: its standard input a pipe the
// test writes to (or /dev/null), its output in a log file.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace varnex::testing {

class ChildProcess {
  public:
    ChildProcess(const std::vector<std::string>& argv, const std::string& logPath,
                 bool console = false)
        : logPath_(logPath) {
        int input[2] = {-1, -1};
        if (console && pipe2(input, O_CLOEXEC) != 0) {
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        if (console) {
            posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
        } else {
            posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        }
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, logPath.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
        std::vector<char*> args;
        for (const std::string& arg : argv) {
            args.push_back(const_cast<char*>(arg.c_str()));
        }
        args.push_back(nullptr);
        if (posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), environ) != 0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        if (console) {
            close(input[0]);
            console_ = input[1];
        }
    }
    ~ChildProcess() { Stop(); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return pid_ > 0; }
    void Write(const std::string& line) {
        if (console_ >= 0 && write(console_, line.data(), line.size()) < 0) {
            close(console_);
            console_ = -1;
        }
    }
    std::string Log() const {
        std::ifstream stream(logPath_);
        std::ostringstream text;
        text << stream.rdbuf();
        return text.str();
    }
    // A signal it handles, such as SIGHUP.
    void Signal(int signal) {
        if (pid_ > 0) {
            kill(pid_, signal);
        }
    }
    // Ends it at once, as a crash would: nothing of its own runs.
    void Kill() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }
    // SIGTERM, then SIGKILL after five seconds.
    void Stop() {
        if (console_ >= 0) {
            close(console_);
            console_ = -1;
        }
        if (pid_ <= 0) {
            return;
        }
        kill(pid_, SIGTERM);
        for (int i = 0; i < 500; ++i) {
            if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
                pid_ = -1;
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

  private:
    std::string logPath_;
    pid_t pid_ = -1;
    int console_ = -1;
};

}  // namespace varnex::testing
