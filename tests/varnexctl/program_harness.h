// Runs the real varnexctl against a real varnex-unit on 127.0.0.1: the unit
// as a child with its console on a pipe and its log read back, varnexctl as
// a child whose output and exit status are collected. Every wait is bounded.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <regex>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace varnex::ctl::testing {

inline constexpr auto kProgramBound = std::chrono::seconds(15);

struct Finished {
    int status = -1;  // exit status; -1 when killed at the bound
    std::string out;
    std::string err;
};

// Reads whatever the pipe holds now, without waiting.
inline void Drain(int fd, std::string& into) {
    char buffer[65536];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0) {
            return;
        }
        into.append(buffer, static_cast<std::size_t>(n));
    }
}

inline std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) {
        pointers.push_back(text.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

// Starts `argv` with pipes on its standard streams; `environment` entries
// "NAME=value" replace or add to this process's.
inline pid_t Spawn(std::vector<std::string> argv, const std::vector<std::string>& environment,
                   int& in, int& out, int& err) {
    int inPipe[2], outPipe[2], errPipe[2];
    if (pipe2(inPipe, O_CLOEXEC) != 0 || pipe2(outPipe, O_CLOEXEC) != 0 ||
        pipe2(errPipe, O_CLOEXEC) != 0) {
        return -1;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, inPipe[0], 0);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        bool replaced = false;
        for (const std::string& mine : environment) {
            replaced |= entry.substr(0, entry.find('=') + 1) == mine.substr(0, mine.find('=') + 1);
        }
        if (!replaced) {
            env.push_back(entry);
        }
    }
    env.insert(env.end(), environment.begin(), environment.end());
    pid_t pid = -1;
    auto args = Pointers(argv);
    auto envp = Pointers(env);
    // setsid-less: the child gets no terminal input; /dev/tty prompts fail.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    if (posix_spawn(&pid, argv[0].c_str(), &actions, &attributes, args.data(), envp.data()) != 0) {
        pid = -1;
    }
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    close(inPipe[0]);
    close(outPipe[1]);
    close(errPipe[1]);
    in = inPipe[1];
    out = outPipe[0];
    err = errPipe[0];
    fcntl(out, F_SETFL, O_NONBLOCK);
    fcntl(err, F_SETFL, O_NONBLOCK);
    return pid;
}

// Runs a program to its end (killed at the bound), `input` on its standard input.
inline Finished RunProgram(const std::vector<std::string>& argv,
                           const std::vector<std::string>& environment = {},
                           const std::string& input = "") {
    int in = -1, out = -1, err = -1;
    const pid_t pid = Spawn(argv, environment, in, out, err);
    Finished finished;
    if (pid < 0) {
        return finished;
    }
    (void)!write(in, input.data(), input.size());
    close(in);
    const auto deadline = std::chrono::steady_clock::now() + kProgramBound;
    int status = 0;
    bool ended = false;
    while (!ended) {
        pollfd fds[2] = {{out, POLLIN, 0}, {err, POLLIN, 0}};
        poll(fds, 2, 20);
        Drain(out, finished.out);
        Drain(err, finished.err);
        ended = waitpid(pid, &status, WNOHANG) == pid;
        if (!ended && std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            close(out);
            close(err);
            return finished;
        }
    }
    Drain(out, finished.out);
    Drain(err, finished.err);
    close(out);
    close(err);
    finished.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return finished;
}

// Reads the pipe until `text` has come or the bound has passed.
inline std::string ReadUntil(int fd, const std::string& text,
                             std::chrono::milliseconds bound = std::chrono::seconds(5)) {
    std::string read;
    const auto deadline = std::chrono::steady_clock::now() + bound;
    while (read.find(text) == std::string::npos && std::chrono::steady_clock::now() < deadline) {
        pollfd watched{fd, POLLIN, 0};
        poll(&watched, 1, 10);
        Drain(fd, read);
    }
    return read;
}

// Waits for the child within the bound (then kills it); its exit status or -1.
inline int Reap(pid_t pid, std::chrono::milliseconds bound = std::chrono::seconds(5)) {
    const auto deadline = std::chrono::steady_clock::now() + bound;
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) != pid) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A varnex-unit child on 127.0.0.1 and a kernel-chosen port.
class UnitProcess {
  public:
    explicit UnitProcess(std::vector<std::string> options = {}) {
        std::vector<std::string> argv = {VARNEX_UNIT_PROGRAM, "--address", "127.0.0.1", "--port",
                                         "0"};
        argv.insert(argv.end(), options.begin(), options.end());
        pid_ = Spawn(argv, {}, in_, out_, err_);
        const std::regex listening(R"(listening on 127\.0\.0\.1:(\d+))");
        std::smatch match;
        WaitFor([&] { return std::regex_search(log_, match, listening); });
        if (std::regex_search(log_, match, listening)) {
            port_ = match[1].str();
        }
    }
    ~UnitProcess() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        close(in_);
        close(out_);
        close(err_);
    }
    UnitProcess(const UnitProcess&) = delete;
    UnitProcess& operator=(const UnitProcess&) = delete;

    const std::string& port() const { return port_; }

    // A console line; answers what the unit printed for it.
    std::string Console(const std::string& line, const std::string& endsWith = "\n") {
        Drain(out_, log_);
        const std::size_t from = log_.size();
        const std::string text = line + "\n";
        (void)!write(in_, text.data(), text.size());
        WaitFor([&] { return log_.find(endsWith, from) != std::string::npos; });
        return log_.substr(from);
    }
    std::string State() { return Console("state", " ms\n"); }

    // How many datagrams with this command letter the unit has received.
    int Received(char letter) {
        Drain(out_, log_);
        const std::string mark = std::string(" \"") + letter + "\" ";
        int count = 0;
        for (std::size_t at = log_.find(mark); at != std::string::npos;
             at = log_.find(mark, at + 1)) {
            ++count;
        }
        return count;
    }
    // The local ports the datagrams with this letter came from, in order.
    std::vector<std::string> SenderPorts(char letter) {
        Drain(out_, log_);
        const std::regex sender(std::string(R"(from 127\.0\.0\.1:(\d+) ")") + letter + "\"");
        std::vector<std::string> ports;
        for (auto it = std::sregex_iterator(log_.begin(), log_.end(), sender);
             it != std::sregex_iterator(); ++it) {
            ports.push_back((*it)[1].str());
        }
        return ports;
    }
    int Datagrams() {
        Drain(out_, log_);
        int count = 0;
        for (std::size_t at = log_.find(" from 127."); at != std::string::npos;
             at = log_.find(" from 127.", at + 1)) {
            ++count;
        }
        return count;
    }

  private:
    template <typename Done>
    void WaitFor(Done done) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < deadline) {
            pollfd fd{out_, POLLIN, 0};
            poll(&fd, 1, 10);
            Drain(out_, log_);
            if (done()) {
                return;
            }
        }
    }

    pid_t pid_ = -1;
    int in_ = -1, out_ = -1, err_ = -1;
    std::string log_;
    std::string port_;
};

}  // namespace varnex::ctl::testing
