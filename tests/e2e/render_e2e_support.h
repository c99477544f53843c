// Helpers for the tests of vennoroll-render and the progress display: rolls
// written with the model, the built programs run with a timeout (with pipes or
// under a pseudo-terminal), a private folder per test, and the output score
// that rollcore makes in this process for comparison.
#ifndef VENNOR_TESTS_RENDER_E2E_SUPPORT_H
#define VENNOR_TESTS_RENDER_E2E_SUPPORT_H

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "rollcore.h"
#include "rollfile.h"

namespace e2e {

// Every program run ends within this, or is killed and reported as hung.
const int timeoutseconds = 120;

inline std::string readfile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writefile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

// A fresh folder for one test, removed with everything in it afterwards. It
// also holds the private HOME whose ALSA default is the null device.
class Folder {
  public:
    Folder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "vennor-render-XXXXXX").string();
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        char* made = mkdtemp(name.data());
        EXPECT_NE(made, nullptr);
        path = made != nullptr ? made : "/nonexistent";
        std::filesystem::create_directory(path + "/home");
        writefile(path + "/home/.asoundrc", "pcm.!default { type null }\n");
    }
    ~Folder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    std::string file(const std::string& name) const { return path + "/" + name; }
    std::string home() const { return path + "/home"; }
    // Names of the entries of the folder itself (home excluded), sorted.
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path)) {
            std::string name = entry.path().filename().string();
            if (name != "home") {
                names.push_back(name);
            }
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    std::string path;
};

struct Run {
    int status = -1; // exit status, or -1 when killed
    bool hung = false;
    std::string out; // standard output
    std::string err; // standard error, or what the terminal showed
};

namespace detail {

// Waits for the child until the deadline; kills it when it passes.
inline void reap(pid_t pid, std::chrono::steady_clock::time_point deadline, Run& run) {
    int wstatus = 0;
    for (;;) {
        pid_t done = waitpid(pid, &wstatus, WNOHANG);
        if (done == pid) {
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
    run.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
}

inline std::vector<char*> argvof(std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (std::string& a : args) {
        argv.push_back(&a[0]);
    }
    argv.push_back(nullptr);
    return argv;
}

} // namespace detail

// Runs a program with standard output and standard error into files of the
// folder (pipes to the program, not terminals), HOME set to the folder's home,
// in the folder as working directory.
inline Run run(const Folder& folder, std::vector<std::string> args) {
    std::string outpath = folder.file(".stdout"), errpath = folder.file(".stderr");
    Run result;
    std::vector<char*> argv = detail::argvof(args);
    pid_t pid = fork();
    if (pid == 0) {
        int out = open(outpath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = open(errpath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int in = open("/dev/null", O_RDONLY);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        setenv("HOME", folder.home().c_str(), 1);
        if (chdir(folder.path.c_str()) != 0) {
            _exit(126);
        }
        execv(argv[0], argv.data());
        _exit(127);
    }
    detail::reap(pid, std::chrono::steady_clock::now() + std::chrono::seconds(timeoutseconds),
                 result);
    result.out = readfile(outpath);
    result.err = readfile(errpath);
    std::remove(outpath.c_str());
    std::remove(errpath.c_str());
    return result;
}

// Runs a program with standard error on a pseudo-terminal and standard output
// into a file, as a user at a terminal who redirected the report: `err` holds
// everything the terminal showed.
inline Run runonterminal(const Folder& folder, std::vector<std::string> args) {
    std::string outpath = folder.file(".stdout");
    Run result;
    std::vector<char*> argv = detail::argvof(args);
    struct winsize size {};
    size.ws_col = 60;
    size.ws_row = 24;
    int master = -1;
    pid_t pid = forkpty(&master, nullptr, nullptr, &size);
    if (pid == 0) {
        int out = open(outpath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, 1);
        setenv("HOME", folder.home().c_str(), 1);
        if (chdir(folder.path.c_str()) != 0) {
            _exit(126);
        }
        execv(argv[0], argv.data());
        _exit(127);
    }
    EXPECT_GT(pid, 0);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutseconds);
    // Read until the terminal closes (EIO once the program has gone).
    char buffer[4096];
    while (std::chrono::steady_clock::now() < deadline) {
        struct pollfd p = {master, POLLIN, 0};
        if (poll(&p, 1, 100) > 0) {
            ssize_t n = read(master, buffer, sizeof buffer);
            if (n <= 0) {
                break;
            }
            result.err.append(buffer, static_cast<size_t>(n));
        }
    }
    detail::reap(pid, deadline, result);
    close(master);
    result.out = readfile(outpath);
    std::remove(outpath.c_str());
    return result;
}

using ::RollFile;

// A short playable roll: a title, 120 beats a minute, ten pedal notes (required
// holes) of a quarter each, with a great and a swell note held over them.
// It ends at tick 10 * 192 = 1920, 5 seconds at its own tempo.
inline RollFile& shortroll(RollFile& roll) {
    roll.tempo(500000).text(3, "Render test").text(2, "none");
    for (int i = 0; i < 10; i++) {
        roll.hole(6 + 2 * (i % 5), 192 * i, 192 * i + 180);
    }
    return roll.hole(60, 0, 1920).hole(61, 384, 1536);
}

inline void writeshortroll(const std::string& path) {
    RollFile roll;
    shortroll(roll).write(path);
}

// What rollcore makes of a roll file in this process: the report it prints
// and the serialised output score, as the player would hand it to FluidSynth
// (without the filler).
struct Reference {
    std::string report;
    std::string score;
};

inline Reference interpretfile(const std::string& roll, const char* extra = nullptr) {
    resetplayerstate();
    testing::internal::CaptureStdout();
    printbanner();
    std::string rollword = roll, extraword = extra ? extra : "";
    char program[] = "vennoroll";
    char* argv[] = {program, &rollword[0], &extraword[0], nullptr};
    checkarguments(extra ? 3 : 2, argv);
    Reference ref;
    preparescore(roll.c_str(), ref.score);
    ref.report = testing::internal::GetCapturedStdout();
    return ref;
}

inline bool exists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
}

} // namespace e2e

#endif
