// A JACK server of the test's own (its own name, the dummy back end, no
// real-time scheduling, long periods and client time-outs for a loaded
// machine), the capture client on it, and the stream vennoroll-live should
// send, made in this process from the same roll.
#ifndef VENNOR_TESTS_JACK_HARNESS_H
#define VENNOR_TESTS_JACK_HARNESS_H

#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "../support/bytes.h"
#include "../support/folder.h"
#include "../support/paths.h"
#include "../support/prepared.h"
#include "../support/process.h"
#include "../support/wave.h"
#include "livemap.h"
#include "mapfile.h"
#include "mapping.h"
#include "rollcore.h"
#include "shadewatch.h"

namespace live {

const int rate = 48000;
// 43 ms: long enough for a busy machine. GrandOrgue takes no more than 1024
// (organperiod) and gets a server of its own so.
const int period = 2048;
const int organperiod = 1024;
const double periodseconds = static_cast<double>(period) / rate;

inline bool waitfor(const std::string& path, double seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (access(path.c_str(), F_OK) != 0 && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return access(path.c_str(), F_OK) == 0;
}

// Sends a background program sig and waits for it; false when it had to be
// killed. `status` receives its wait status.
inline bool finish(pid_t pid, int sig = SIGTERM, double seconds = 10.0, int* waited = nullptr) {
    kill(pid, sig);
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    int ignored = 0;
    int& status = waited != nullptr ? *waited : ignored;
    while (waitpid(pid, &status, WNOHANG) != pid) {
        if (std::chrono::steady_clock::now() > end) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// A TCP port free at the moment: FluidSynth stays running only while it
// serves its shell somewhere.
inline int freeport() {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof a;
    bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &size);
    close(s);
    return ntohs(a.sin_port);
}

// The server lives as long as the object; every program started meanwhile
// finds it through JACK_DEFAULT_SERVER.
class JackServer {
  public:
    explicit JackServer(const std::string& folder, int frames = period) {
        name = "vennor-test-" + std::to_string(getpid());
        setenv("JACK_DEFAULT_SERVER", name.c_str(), 1);
        Where where;
        where.scratch = folder;
        // Above the builds that share the machine where the system allows it
        // (nice says why not, and goes on, elsewhere); never real-time.
        pid = startprogram(testpath("NICE"),
                           {"nice", "-n", "-10", testpath("JACKD"), "--no-realtime", "-S", "-n",
                            name, "-t", "10000", "-d", "dummy", "-r", std::to_string(rate), "-p",
                            std::to_string(frames)},
                           where);
    }
    ~JackServer() { stop(); }
    // Before the clients: a server that outlives a client killed on its own
    // waits out the client time-out before it ends.
    void stop() {
        if (pid > 0) {
            EXPECT_TRUE(finish(pid));
            pid = -1;
        }
        unsetenv("JACK_DEFAULT_SERVER");
    }
    std::string name;
    pid_t pid;
};

struct Arrival {
    double seconds; // on the monotonic clock, or in the stream
    std::string hex;
    double frameseconds = 0.0; // on the server's frame clock, which the audio keeps
};

// What the capture client kept.
struct Captured {
    std::vector<Arrival> midi;
    double audiostart = 0.0;
    Wave audio;                     // 16-bit for measuring like the renderer's files
    std::vector<float> left, right; // as they came, for levels far under full scale
};

// The capture client, wiring SOURCE DESTINATION pairs as they appear.
class Capture {
  public:
    Capture(const std::string& dir, const std::vector<std::string>& wires) : folder(dir) {
        std::vector<std::string> args{folder + "/ready", folder + "/midi.txt",
                                      folder + "/audio.raw"};
        args.insert(args.end(), wires.begin(), wires.end());
        Where where;
        where.scratch = folder;
        args.insert(args.begin(), {"nice", "-n", "-10", testpath("JACK_CAPTURE")});
        pid = startprogram(testpath("NICE"), args, where);
        ready = waitfor(folder + "/ready", 10.0);
    }
    ~Capture() {
        if (pid > 0) {
            finish(pid);
        }
    }
    Captured stop() {
        Captured c;
        EXPECT_TRUE(finish(pid));
        pid = -1;
        std::ifstream midi(folder + "/midi.txt");
        std::string word;
        midi >> word >> c.audiostart >> c.audio.rate;
        c.audio.channels = 2;
        for (Arrival a; midi >> a.frameseconds >> a.seconds >> a.hex;) {
            c.midi.push_back(a);
        }
        std::ifstream raw(folder + "/audio.raw", std::ios::binary);
        for (float f; raw.read(reinterpret_cast<char*>(&f), sizeof f);) {
            (c.audio.samples.size() % 2 == 0 ? c.left : c.right).push_back(f);
            c.audio.samples.push_back(
                static_cast<int16_t>(std::max(-32768.0f, std::min(32767.0f, f * 32768.0f))));
        }
        return c;
    }
    std::string folder;
    pid_t pid;
    bool ready;
};

// The stream for a roll file as this process maps it: the player's
// preparation, then the map, every message timed through the score's tempi.
inline std::vector<Arrival> expectedstream(const std::string& roll, const char* tempo,
                                           const livemap& map, std::string* report = nullptr,
                                           const spool& speedup = spool()) {
    resetplayerstate();
    watchshades();
    const Reference prepared = interpretfile(roll, tempo, speedup);
    if (report != nullptr) {
        *report = prepared.report;
    }
    std::vector<Arrival> out;
    tempomap times(outputfile);
    for (const livemessage& m : mapscore(outputfile, watchedshades(), map)) {
        out.push_back({times.seconds(m.tick), hexbytes(m.bytes, static_cast<size_t>(m.size))});
    }
    holewatch = nullptr;
    return out;
}

// Each test in a folder of its own, its programs given a minute.
class LiveJack : public ::testing::Test {
  protected:
    void SetUp() override {
        where.scratch = dir;
        where.seconds = 60;
    }
    std::string file(const std::string& name) const { return folder.file(name); }
    RunResult live(std::vector<std::string> args) {
        args.insert(args.begin(), testpath("LIVE_BIN"));
        return runprogram(args[0], args, where);
    }
    Folder folder;
    const std::string dir = folder.path;
    Where where;
};

} // namespace live

#endif
