// Helpers for running the built player: a private HOME whose .asoundrc routes
// ALSA's default device to the null device (or to an unusable one), small
// rolls written with the model's writer, and a run that is killed when it
// does not end in time.
#ifndef VENNOR_TESTS_E2EFIXTURE_H
#define VENNOR_TESTS_E2EFIXTURE_H

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "MidiFile.h"
#include "rollfile.h"

struct RunResult {
    bool ended = false; // false: killed after the timeout
    int status = -1;    // exit status when it ended normally
    std::string out;
    std::string err;
};

inline std::string readfile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// A scratch folder per test, removed at the end.
class PlayerRun : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/vennoroll-e2e-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        nullhome = dir + "/home-null";
        badhome = dir + "/home-bad";
        mkdir(nullhome.c_str(), 0755);
        mkdir(badhome.c_str(), 0755);
        std::ofstream(nullhome + "/.asoundrc") << "pcm.!default { type null }\n";
        // No such card: FluidSynth cannot open its audio driver.
        std::ofstream(badhome + "/.asoundrc") << "pcm.!default { type hw; card 99 }\n";
    }
    void TearDown() override {
        std::string cmd = "rm -rf '" + dir + "'";
        EXPECT_EQ(std::system(cmd.c_str()), 0);
    }

    std::string path(const std::string& name) const { return dir + "/" + name; }

    // Runs the player with the given arguments (the program name first, as
    // typed) and HOME; kills it after `seconds`.
    RunResult run(const std::string& binary, const std::vector<std::string>& args,
                  const std::string& home, int seconds = 30) {
        RunResult r;
        std::string outpath = dir + "/stdout";
        std::string errpath = dir + "/stderr";
        pid_t pid = fork();
        if (pid == 0) {
            int out = open(outpath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            int err = open(errpath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            int in = open("/dev/null", O_RDONLY);
            dup2(in, 0);
            dup2(out, 1);
            dup2(err, 2);
            setenv("HOME", home.c_str(), 1);
            // Nothing from the environment reaches other sound servers.
            unsetenv("PULSE_SERVER");
            std::vector<char*> argv;
            for (const std::string& a : args) {
                argv.push_back(const_cast<char*>(a.c_str()));
            }
            argv.push_back(nullptr);
            execv(binary.c_str(), argv.data());
            _exit(127);
        }
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        int wstatus = 0;
        while (true) {
            pid_t done = waitpid(pid, &wstatus, WNOHANG);
            if (done == pid) {
                r.ended = WIFEXITED(wstatus);
                r.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
                break;
            }
            if (std::chrono::steady_clock::now() > deadline) {
                kill(pid, SIGKILL);
                waitpid(pid, &wstatus, 0);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        r.out = readfile(outpath);
        r.err = readfile(errpath);
        return r;
    }

    RunResult play(const std::vector<std::string>& args, int seconds = 30) {
        std::vector<std::string> all{VENNOROLL_BIN};
        all.insert(all.end(), args.begin(), args.end());
        return run(VENNOROLL_BIN, all, nullhome, seconds);
    }

    std::string dir;
    std::string nullhome;
    std::string badhome;
};

// The banner every run starts with.
inline std::string banner() {
    return "\nPlay Estey e-roll, v3.0\n"
           "vennoroll 1.0: Estey pipe-organ e-roll player, plays through FluidSynth\n\n";
}

#endif
