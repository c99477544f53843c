// Runs a built program as a user would and waits for it, at most a set time:
// a program still running then is killed and reported as hung. Its standard
// output and standard error are kept apart (pipes, not terminals), or its
// standard error is a pseudo-terminal, as for a user watching the progress.
#ifndef VENNOR_TESTS_PROCESS_H
#define VENNOR_TESTS_PROCESS_H

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "smf.h"

struct RunResult {
    bool ended = false; // ended through exit (not killed, not signalled)
    bool hung = false;  // killed at the time limit
    int status = -1;    // exit status when it ended, else -1
    std::string out;    // standard output
    std::string err;    // standard error, or what the terminal showed
};

// Where and how a program runs: HOME (empty: unchanged), working folder
// (empty: unchanged), the folder for its captured output, and the time limit.
struct Where {
    std::string home;
    std::string cwd;
    std::string scratch = ::testing::TempDir();
    int seconds = 120;
};

namespace processdetail {

inline std::vector<char*> argvof(std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (std::string& a : args) {
        argv.push_back(&a[0]);
    }
    argv.push_back(nullptr);
    return argv;
}

// In the child: the environment of the run, then the program.
[[noreturn]] inline void start(const std::string& binary, std::vector<std::string> args,
                               const Where& where) {
    if (!where.home.empty()) {
        setenv("HOME", where.home.c_str(), 1);
    }
    // Nothing from the environment reaches other sound servers.
    unsetenv("PULSE_SERVER");
    if (!where.cwd.empty() && chdir(where.cwd.c_str()) != 0) {
        _exit(126);
    }
    std::vector<char*> argv = argvof(args);
    execv(binary.c_str(), argv.data());
    _exit(127);
}

// Waits for the child until the deadline; kills it when it passes.
inline void reap(pid_t pid, std::chrono::steady_clock::time_point deadline, RunResult& run) {
    int wstatus = 0;
    for (;;) {
        if (waitpid(pid, &wstatus, WNOHANG) == pid) {
            break;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &wstatus, 0);
            run.hung = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    run.ended = !run.hung && WIFEXITED(wstatus);
    run.status = run.ended ? WEXITSTATUS(wstatus) : -1;
}

inline std::string scratchfile(const Where& where, const char* stream) {
    return where.scratch + "/.vennor-run-" + std::to_string(getpid()) + "." + stream;
}

} // namespace processdetail

// Runs binary with args (argv[0] first, as typed) and no standard input.
inline RunResult runprogram(const std::string& binary, const std::vector<std::string>& args,
                            const Where& where = Where()) {
    const std::string outpath = processdetail::scratchfile(where, "out");
    const std::string errpath = processdetail::scratchfile(where, "err");
    std::fflush(nullptr);
    RunResult ran;
    const pid_t pid = fork();
    if (pid == 0) {
        const int in = open("/dev/null", O_RDONLY);
        const int out = open(outpath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open(errpath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        processdetail::start(binary, args, where);
    }
    EXPECT_GT(pid, 0);
    processdetail::reap(pid, std::chrono::steady_clock::now() + std::chrono::seconds(where.seconds),
                        ran);
    ran.out = readfile(outpath);
    ran.err = readfile(errpath);
    std::remove(outpath.c_str());
    std::remove(errpath.c_str());
    return ran;
}

// Starts binary with args in the background, its output dropped, and returns
// its process id: for a test that acts on the program while it runs.
inline pid_t startprogram(const std::string& binary, const std::vector<std::string>& args,
                          const Where& where = Where()) {
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_RDWR);
        dup2(null, 0);
        dup2(null, 1);
        dup2(null, 2);
        processdetail::start(binary, args, where);
    }
    EXPECT_GT(pid, 0);
    return pid;
}

// The same with standard error on a 60-column pseudo-terminal and standard
// output into a file, as a user at a terminal who redirected the report.
inline RunResult runonterminal(const std::string& binary, const std::vector<std::string>& args,
                               const Where& where = Where()) {
    const std::string outpath = processdetail::scratchfile(where, "out");
    std::fflush(nullptr);
    RunResult ran;
    struct winsize size {};
    size.ws_col = 60;
    size.ws_row = 24;
    int master = -1;
    const pid_t pid = forkpty(&master, nullptr, nullptr, &size);
    if (pid == 0) {
        const int out = open(outpath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, 1);
        processdetail::start(binary, args, where);
    }
    EXPECT_GT(pid, 0);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(where.seconds);
    // Read until the terminal closes (EIO once the program has gone).
    char buffer[4096];
    while (std::chrono::steady_clock::now() < deadline) {
        struct pollfd p = {master, POLLIN, 0};
        if (poll(&p, 1, 100) > 0) {
            const ssize_t n = read(master, buffer, sizeof buffer);
            if (n <= 0) {
                break;
            }
            ran.err.append(buffer, static_cast<size_t>(n));
        }
    }
    processdetail::reap(pid, deadline, ran);
    close(master);
    ran.out = readfile(outpath);
    std::remove(outpath.c_str());
    return ran;
}

#endif
