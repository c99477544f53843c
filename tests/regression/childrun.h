// Runs one piece of the program in a child process and measures it: how it
// ended, its peak resident memory and the processor time it took. The child
// cannot take the test process down with it, and a child that runs past its
// wall-clock or memory limit is killed and reported as unfinished.
#ifndef VENNOR_TESTS_CHILDRUN_H
#define VENNOR_TESTS_CHILDRUN_H

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "../support/sanitized.h"

namespace childrun {

// The bounds every file of at most 1 MiB must stay within: a few hundred MiB
// and a few seconds of processor time in the normal build.
#if VENNOR_SANITIZED
const double peakmib = 1200.0;
const double cpuseconds = 60.0;
#else
const double peakmib = 300.0;
const double cpuseconds = 5.0;
#endif
// A child still running after this long is taken for hung and killed, and
// so is one past twice the bound of memory or processor time: it would take
// the machine's memory, or the suite's time, for a result known already.
const double wallseconds = 120.0;
const double killmib = 2 * peakmib;
const double killcpu = 2 * cpuseconds;

struct result {
    bool finished = false; // ended by itself before the time and memory limits
    bool exited = false;   // ended through exit (not a signal)
    int status = -1;       // exit status, or the signal number when signalled
    double cpu = 0.0;      // user + system seconds
    double peak = 0.0;     // peak resident set, MiB
    std::string output;    // standard output and standard error together
};

inline void PrintTo(const result& r, std::ostream* os) {
    *os << (r.finished ? "" : "killed at the time or memory limit, ")
        << (r.exited ? "exit status " : "signal ") << r.status << ", " << r.cpu << " s, " << r.peak
        << " MiB";
}

// Resident memory of a running process, MiB; 0 when it cannot be read.
inline double residentmib(pid_t pid) {
    std::ifstream statm("/proc/" + std::to_string(pid) + "/statm");
    long pages = 0;
    long resident = 0;
    if (!(statm >> pages >> resident)) {
        return 0.0;
    }
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) /
           (1024.0 * 1024.0);
}

// Processor time of a running process so far, seconds; 0 when unknown.
inline double cpusofar(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    // The fields after the command name, which ends at the last ')'.
    const size_t close = line.rfind(')');
    if (close == std::string::npos) {
        return 0.0;
    }
    std::istringstream fields(line.substr(close + 1));
    std::string field;
    double ticks = 0.0;
    // State is field 3; utime and stime are fields 14 and 15.
    for (int i = 3; i <= 15 && fields >> field; i++) {
        if (i >= 14) {
            ticks += std::strtod(field.c_str(), nullptr);
        }
    }
    return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

inline double seconds(const timeval& tv) {
    return static_cast<double>(tv.tv_sec) + static_cast<double>(tv.tv_usec) / 1e6;
}

// Runs body in a child, which ends with status 0 when body returns.
inline result run(const std::function<void()>& body) {
    const std::string outpath =
        ::testing::TempDir() + "vennor_child_" + std::to_string(getpid()) + ".out";
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        const int out = open(outpath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(out, STDOUT_FILENO);
        dup2(out, STDERR_FILENO);
        body();
        std::exit(0);
    }
    result r;
    if (pid < 0) {
        return r;
    }
    int status = 0;
    rusage usage{};
    const auto start = std::chrono::steady_clock::now();
    while (true) {
        const pid_t done = wait4(pid, &status, WNOHANG, &usage);
        if (done == pid) {
            r.finished = true;
            break;
        }
        const std::chrono::duration<double> waited = std::chrono::steady_clock::now() - start;
        if (waited.count() > wallseconds || residentmib(pid) > killmib || cpusofar(pid) > killcpu) {
            kill(pid, SIGKILL);
            wait4(pid, &status, 0, &usage);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    r.exited = WIFEXITED(status);
    r.status = r.exited ? WEXITSTATUS(status) : WTERMSIG(status);
    r.cpu = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    r.peak = static_cast<double>(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
    std::ifstream in(outpath, std::ios::binary);
    r.output.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    std::remove(outpath.c_str());
    return r;
}

} // namespace childrun

// The child finished within the bounds and ended with the given status.
#define EXPECT_WITHIN_LIMITS(r, expectedstatus)                                                    \
    do {                                                                                           \
        EXPECT_TRUE((r).finished) << "killed at a limit: " << childrun::wallseconds << " s, "      \
                                  << childrun::killcpu << " s of processor time or "               \
                                  << childrun::killmib << " MiB";                                  \
        EXPECT_TRUE((r).exited) << "ended by signal " << (r).status;                               \
        EXPECT_EQ((r).status, (expectedstatus)) << (r).output.substr(0, 2000);                     \
        EXPECT_LE((r).peak, childrun::peakmib);                                                    \
        EXPECT_LE((r).cpu, childrun::cpuseconds);                                                  \
        ::testing::Test::RecordProperty("peak_mib", static_cast<int>((r).peak));                   \
        ::testing::Test::RecordProperty("cpu_ms", static_cast<int>((r).cpu * 1000));               \
        std::printf("[ measured ] %.0f MiB peak, %.2f s processor time\n", (r).peak, (r).cpu);     \
    } while (0)

#endif
