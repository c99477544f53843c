// The real player, vennoroll with the organ bank of this build tree, watched
// from outside. ALSA's default device is a file device (in a private HOME)
// whose file is a FIFO that this process reads; its slave device discards
// the sound.
//
// For time to first sound the FIFO plays the sound card: its buffer is cut to
// 4 KiB (about 23 ms of 16-bit stereo at 44.1 kHz, FluidSynth's own default
// device buffer is 1,024 frames) and this process takes the bytes out no
// faster than 44.1 kHz would, so FluidSynth's audio thread waits as it would
// on a device, and the delay of that buffer is part of the figure.
//
// time to first buffer: spawn of the process to the first audio bytes in the
//   FIFO. FluidSynth's driver starts before the bank and the roll are
//   loaded, so this is silence: it shows when audio output is running.
// time to first sound: spawn to the moment the first sample of magnitude 16
//   or more (FluidSynth's dither puts +-1 into silence) leaves the simulated
//   card: the bank is loaded, the roll prepared and handed over, and the first
//   note sounds.
// silence before: seconds of audio played before that sample.
//
// Peak memory runs unpaced: FluidSynth renders as fast as it can.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "benchbody.h"
#include "benchsupport.h"

namespace {

const int soundlevel = 16;        // sample magnitude taken as sound
const double framerate = 44100.0; // FluidSynth's default, 16-bit stereo frames
const double deadline = 300.0;    // seconds before a run is given up
const int cardbuffer = 4096;      // bytes the simulated card holds

struct listening {
    std::string error;
    double firstbuffer = -1.0; // seconds from spawn
    double firstsound = -1.0;  // seconds from spawn
    double silencebefore = -1.0;
    double audioseconds = 0.0; // audio written in all
    bool toend = false;        // the player finished by itself
    processrun run;
};

bool bankbuilt() {
    struct stat info;
    return stat(VENNOR_BANK_FILE, &info) == 0 && info.st_size > 0;
}

bool childexited(int pid) {
    siginfo_t info;
    info.si_pid = 0;
    return waitid(P_PID, pid, &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == pid;
}

// Plays roll with vennoroll_bench; stops it `after` seconds past its first
// sound, or lets it play to the end when after is negative. Paced: the audio
// is taken out at 44.1 kHz through a card-sized buffer.
listening listen(const benchroll& roll, const std::string& tag, double after, bool paced) {
    listening heard;
    const std::string fifo = workdir() + "/" + tag + ".fifo";
    unlink(fifo.c_str());
    if (mkfifo(fifo.c_str(), 0600) != 0) {
        heard.error = "cannot make " + fifo;
        return heard;
    }
    const std::string home = alsahome(tag, fifo);
    // Opened before the player starts, so that its open for writing finds a
    // reader and a hang-up is only reported after it has written and gone.
    const int fd = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    if (paced && fd >= 0) {
        fcntl(fd, F_SETPIPE_SZ, cardbuffer);
    }
    const std::string peakfile = workdir() + "/" + tag + ".peak";
    std::remove(peakfile.c_str());
    const int pid = spawnprocess({VENNOR_PEAK_RSS, peakfile, VENNOR_PLAYER_BENCH, roll.path},
                                 {"HOME=" + home}, heard.run);
    const double start = heard.run.seconds;
    if (pid == 0 || fd < 0) {
        heard.error = "cannot start " VENNOR_PLAYER_BENCH;
        return heard;
    }
    static unsigned char block[1 << 16];
    long long bytes = 0;
    int carry = -1; // low byte of a sample split across two reads
    bool stopping = false;
    double playing = -1.0; // when the simulated card started taking bytes
    while (true) {
        long long allowance = static_cast<long long>(sizeof block);
        if (paced && playing >= 0.0 && !stopping) {
            const double due = (nowseconds() - playing) * framerate * 4.0 + cardbuffer;
            allowance = static_cast<long long>(due) - bytes;
            if (allowance <= 0) {
                usleep(1000);
                continue;
            }
            if (allowance > static_cast<long long>(sizeof block)) {
                allowance = static_cast<long long>(sizeof block);
            }
        }
        struct pollfd watch = {fd, POLLIN, 0};
        const int ready = poll(&watch, 1, 20);
        const double now = nowseconds();
        if (ready > 0 && (watch.revents & POLLIN) != 0) {
            const ssize_t got = read(fd, block, static_cast<size_t>(allowance));
            if (got <= 0) {
                heard.toend = !stopping;
                break;
            }
            if (heard.firstbuffer < 0) {
                heard.firstbuffer = now - start;
                playing = now;
            }
            for (ssize_t i = 0; i < got && heard.firstsound < 0; i++) {
                if (carry < 0) {
                    carry = block[i];
                    continue;
                }
                const int sample = static_cast<short>(carry | (block[i] << 8));
                carry = -1;
                if (std::abs(sample) >= soundlevel) {
                    heard.firstsound = now - start;
                    heard.silencebefore = static_cast<double>((bytes + i) / 4) / framerate;
                }
            }
            bytes += got;
        } else if (ready > 0) {
            heard.toend = !stopping;
            break; // hang-up: the player has closed its output
        } else if (childexited(pid)) {
            heard.toend = !stopping;
            break;
        }
        const bool heardenough =
            after >= 0.0 && heard.firstsound >= 0.0 && now - start >= heard.firstsound + after;
        if (!stopping && (heardenough || now - start > deadline)) {
            // Only this run's own player, by its id.
            kill(pid, SIGTERM);
            stopping = true;
        }
    }
    close(fd);
    reapprocess(pid, heard.run);
    // The player's own peak, not that of the process it was started from.
    heard.run.maxrsskb = 0;
    if (FILE* in = std::fopen(peakfile.c_str(), "r")) {
        if (std::fscanf(in, "%ld", &heard.run.maxrsskb) != 1) {
            heard.run.maxrsskb = 0;
        }
        std::fclose(in);
    }
    heard.audioseconds = static_cast<double>(bytes / 4) / framerate;
    if (heard.firstsound < 0) {
        heard.error = "the player made no sound";
    }
    unlink(fifo.c_str());
    return heard;
}

void firstsound(benchmark::State& state, const benchroll& roll) {
    if (!bankbuilt()) {
        state.SkipWithError("the organ bank " VENNOR_BANK_FILE
                            " has not been built: nothing would sound");
        return;
    }
    double buffer = 0.0;
    double silence = 0.0;
    for (auto _ : state) {
        listening heard = listen(roll, "first-sound-" + roll.name, 0.0, true);
        if (!heard.error.empty()) {
            state.SkipWithError(heard.error.c_str());
            break;
        }
        state.SetIterationTime(heard.firstsound);
        buffer += heard.firstbuffer;
        silence += heard.silencebefore;
    }
    const double n = static_cast<double>(state.iterations());
    if (n > 0) {
        state.counters["first_buffer_ms"] = 1000.0 * buffer / n;
        state.counters["silence_before_ms"] = 1000.0 * silence / n;
    }
}

// Peak resident memory of the whole vennoroll process, bank included. The
// demo roll plays to its end; a long roll is stopped `after` seconds past its
// first sound, when the score has been prepared, handed over and loaded by
// FluidSynth's player (hours of music are not waited for).
void peakmemory(benchmark::State& state, const benchroll& roll, double after) {
    if (!bankbuilt()) {
        state.SkipWithError("the organ bank " VENNOR_BANK_FILE " has not been built");
        return;
    }
    for (auto _ : state) {
        listening heard = listen(roll, "peak-memory-" + roll.name, after, false);
        if (!heard.error.empty()) {
            state.SkipWithError(heard.error.c_str());
            break;
        }
        if (heard.run.maxrsskb == 0) {
            state.SkipWithError("no peak memory reported");
            break;
        }
        if (after < 0.0 && (!heard.toend || heard.run.status != 0)) {
            state.SkipWithError("the player did not finish normally");
            break;
        }
        state.SetIterationTime(heard.run.seconds);
        state.counters["maxrss_MB"] = static_cast<double>(heard.run.maxrsskb) / 1024.0;
        state.counters["audio_s"] = heard.audioseconds;
        state.counters["played_to_end"] = heard.toend ? 1 : 0;
    }
}

} // namespace

void registersoundbenchmarks() {
    for (const benchroll& roll : benchrolls()) {
        if (roll.name != "demo" && roll.name != "1M") {
            continue;
        }
        benchmark::RegisterBenchmark(("first_sound/" + roll.name).c_str(), firstsound, roll)
            ->UseManualTime()
            ->Iterations(roll.name == "demo" ? 5 : 2)
            ->Unit(benchmark::kMillisecond);
        const double after = roll.name == "demo" ? -1.0 : 2.0;
        benchmark::RegisterBenchmark(("peak_memory/" + roll.name).c_str(), peakmemory, roll, after)
            ->UseManualTime()
            ->Iterations(1)
            ->Unit(benchmark::kMillisecond);
    }
}
