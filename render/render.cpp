// vennoroll-render's output: the temporary file, the .mid export and the
// offline render.
#include "render.h"

#include <sched.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "cli.h"
#include "progress.h"
#include "score.h"
#include "spool.h"
#include "state.h"
#include "tempomap.h"

namespace {

const char* finaloutput = nullptr;
// steadyscore's ticks: a tenth of a millisecond each.
bool steadyticks = false;
const double steadytickseconds = 1.0e-4;
// A plain heap string: the exit and signal handlers read it after every
// object with a destructor may be gone.
char* pendingpath = nullptr;

void removepending() {
    if (pendingpath != nullptr) {
        unlink(pendingpath);
    }
}

void removeonsignal(int sig) {
    removepending();
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

[[noreturn]] void refuse(const std::string& line) {
    std::cout << line << std::endl;
    std::exit(1);
}

[[noreturn]] void cannotwrite(const char* path, int error) {
    refuse(std::string("Cannot write ") + path + ": " + std::strerror(error));
}

bool endswith(const std::string& text, const char* ending) {
    size_t n = std::strlen(ending);
    if (text.size() < n) {
        return false;
    }
    for (size_t i = 0; i < n; i++) {
        char c = text[text.size() - n + i];
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
        if (c != ending[i]) {
            return false;
        }
    }
    return true;
}

void findoption(void* data, const char* /*name*/, const char* option) {
    const char** wanted = static_cast<const char**>(data);
    if (*wanted != nullptr && std::strcmp(*wanted, option) == 0) {
        *wanted = nullptr;
    }
}

// Whether FluidSynth's file renderer offers a file type (libsndfile's types
// are there only when FluidSynth was built with it).
bool filetypeavailable(fluid_settings_t* settings, const char* type) {
    const char* wanted = type;
    fluid_settings_foreach_option(settings, "audio.file.type", &wanted, findoption);
    return wanted == nullptr;
}

// Cores this process may run on, at most 8: more threads than that mostly
// wait for each other.
int usablecores() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) != 0) {
        return 1;
    }
    int count = CPU_COUNT(&set);
    return count < 1 ? 1 : (count > 8 ? 8 : count);
}

void renderblock(fluid_file_renderer_t* renderer) {
    if (fluid_file_renderer_process_block(renderer) != FLUID_OK) {
        writingfailed();
    }
}

} // namespace

void writingfailed() {
    refuse(std::string("Writing ") + finaloutput + " failed");
}

outputkind outputkindof(const char* path) {
    std::string text = path != nullptr ? path : "";
    // The ending alone is no name: "dir/.wav" would be a hidden file.
    size_t slash = text.rfind('/');
    std::string base = slash == std::string::npos ? text : text.substr(slash + 1);
    const struct {
        const char* ending;
        outputkind kind;
    } endings[] = {{".mid", midoutput},  {".wav", wavoutput}, {".flac", flacoutput},
                   {".svg", svgoutput},  {".png", pngoutput}, {".pdf", pdfoutput},
                   {".html", pageoutput}};
    for (const auto& e : endings) {
        if (endswith(base, e.ending) && base.size() > std::strlen(e.ending)) {
            return e.kind;
        }
    }
    return unknownoutput;
}

renderarguments checkrenderarguments(int argc, char** argv) {
    renderarguments found;
    std::vector<const char*> options;
    for (int i = 0; i < argc; i++) {
        if (i > 0 && std::strncmp(argv[i], "--", 2) == 0) {
            options.push_back(argv[i]);
        } else {
            found.words.push_back(argv[i]);
        }
    }
    const int count = static_cast<int>(found.words.size());
    char** words = found.words.data();
    if (count != 3 && count != 4) {
        refuse(std::string("Usage: ") + (argc > 0 && argv[0] ? argv[0] : "") +
               "  esteye-roll.mes OUTPUT.mid|.wav|.flac|.svg|.png|.pdf|.html [optempo]"
               " [--speed-up] [--spool-diameter=MM] [--paper-thickness=MM]");
    }
    // The player's own checks, on the words it would have been given.
    char* playerwords[4] = {words[0], words[1], count == 4 ? words[3] : nullptr, nullptr};
    checkarguments(count - 1, playerwords);
    if (outputkindof(words[2]) == unknownoutput) {
        refuse("Output must end in .mid, .wav, .flac, .svg, .png, .pdf or .html");
    }
    for (const char* option : options) {
        if (!spooloption(option, found.speedup)) {
            refuse(std::string("Unknown option ") + option);
        }
    }
    return found;
}

void openoutput(const char* roll, const char* output) {
    struct stat outstat {};
    struct stat rollstat {};
    if (stat(output, &outstat) == 0) {
        if (S_ISDIR(outstat.st_mode)) {
            cannotwrite(output, EISDIR);
        }
        if (stat(roll, &rollstat) == 0 && outstat.st_dev == rollstat.st_dev &&
            outstat.st_ino == rollstat.st_ino) {
            refuse("Output would replace the roll");
        }
    }
    // Beside the output, so that the final rename stays within one file system.
    std::string path = output;
    size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string temp = folder + "." + base + ".XXXXXX";
    char* name = static_cast<char*>(std::malloc(temp.size() + 1));
    if (name == nullptr) {
        cannotwrite(output, ENOMEM);
    }
    std::memcpy(name, temp.c_str(), temp.size() + 1);
    finaloutput = output;
    std::atexit(removepending);
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
        // A signal the caller had ignored (nohup, a background job) stays so.
        if (std::signal(sig, removeonsignal) == SIG_IGN) {
            std::signal(sig, SIG_IGN);
        }
    }
    // No signal between the file's creation and its name being known.
    sigset_t stops, previous;
    sigemptyset(&stops);
    sigaddset(&stops, SIGINT);
    sigaddset(&stops, SIGTERM);
    sigaddset(&stops, SIGHUP);
    sigprocmask(SIG_BLOCK, &stops, &previous);
    int fd = mkstemp(name);
    int error = errno;
    if (fd >= 0) {
        pendingpath = name;
    }
    sigprocmask(SIG_SETMASK, &previous, nullptr);
    if (fd < 0) {
        cannotwrite(output, error);
    }
    // mkstemp makes the file private; the output gets the usual permissions.
    mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    close(fd);
}

const char* pendingoutput() {
    return pendingpath;
}

void commitoutput() {
    if (pendingpath == nullptr) {
        return;
    }
    if (std::rename(pendingpath, finaloutput) != 0) {
        cannotwrite(finaloutput, errno);
    }
    // Forgotten before it is freed: a signal now must not remove the output.
    char* done = pendingpath;
    pendingpath = nullptr;
    std::free(done);
}

void writescorefile(size_t bytes) {
    // The model's writer ends the program itself when it cannot open the file.
    outputfile.write(pendingpath);
    struct stat written {};
    if (stat(pendingpath, &written) != 0 || static_cast<size_t>(written.st_size) != bytes) {
        writingfailed();
    }
}

void setuprender(renderhandles& fluid, outputkind kind) {
    const char* type = kind == flacoutput ? "flac" : "wav";
    fluid.settings = new_fluid_settings();
    if (fluid.settings == nullptr) {
        refuse("FluidSynth could not be set up");
    }
    if (kind != pageoutput && !filetypeavailable(fluid.settings, type)) {
        refuse(std::string("This FluidSynth cannot write ") +
               (kind == flacoutput ? "FLAC" : "WAV") + " files");
    }
    fluid_settings_setnum(fluid.settings, "synth.gain", 1.0);
    fluid_settings_setstr(fluid.settings, "synth.midi-bank-select", "gs");
    fluid_settings_setstr(fluid.settings, "audio.file.type", type);
    if (kind == pageoutput) {
        fluid_settings_setnum(fluid.settings, "synth.sample-rate", 48000.0);
    }
    // The player follows the rendered samples, not the clock: as fast as the
    // machine allows, and exact however slow it is.
    fluid_settings_setstr(fluid.settings, "player.timing-source", "sample");
    fluid_settings_setint(fluid.settings, "synth.lock-memory", 0);
    // 4096 frames a call rather than 64: less overhead per call, and the cores
    // meet once per call. Timing is unchanged: the synthesiser ends its run of
    // 64-frame blocks wherever the player queues an event.
    fluid_settings_setint(fluid.settings, "audio.period-size", 4096);
    // The voices dominate the cost of a render: spread them over the cores.
    int cores = usablecores();
    if (cores > 1) {
        fluid_settings_setint(fluid.settings, "synth.cpu-cores", cores);
    }
    fluid.synth = new_fluid_synth(fluid.settings);
    if (fluid.synth != nullptr) {
        fluid.player = new_fluid_player(fluid.synth);
    }
    if (fluid.player == nullptr) {
        refuse("FluidSynth could not be set up");
    }
    // A render without instruments would be silence.
    if (!fluid_is_soundfont(font) || fluid_synth_sfload(fluid.synth, font, 1) == FLUID_FAILED) {
        refuse(std::string("SoundFont ") + font +
               " is missing or not a SoundFont; nothing to render");
    }
}

double renderscore(renderhandles& fluid, size_t op_size) {
    fluid_settings_setstr(fluid.settings, "audio.file.name", pendingpath);
    fluid_file_renderer_t* renderer = new_fluid_file_renderer(fluid.synth);
    if (renderer == nullptr) {
        cannotwrite(finaloutput, EIO);
    }
    fluid_player_add_mem(fluid.player, op_buffer, op_size);
    fluid_player_play(fluid.player);

    double rate = 44100.0;
    int period = 64;
    fluid_settings_getnum(fluid.settings, "synth.sample-rate", &rate);
    fluid_settings_getint(fluid.settings, "audio.period-size", &period);
    long long blocks = 0;
    double total = scoreseconds();
    while (fluid_player_get_status(fluid.player) == FLUID_PLAYER_PLAYING) {
        renderblock(renderer);
        blocks++;
        drawprogress(handedseconds(fluid_player_get_current_tick(fluid.player)), total);
    }
    // The tail: the pipes' releases, until the last voice has stopped. Nothing feeds
    // FluidSynth's reverb or chorus (the bank's sends and the score's controllers are
    // 0), so nothing sounds after that.
    long long releaseblocks = static_cast<long long>(std::ceil(releaseseconds * rate / period));
    for (long long i = 0; i < releaseblocks && fluid_synth_get_active_voice_count(fluid.synth) > 0;
         i++) {
        renderblock(renderer);
        blocks++;
    }
    delete_fluid_file_renderer(renderer);
    endprogress();
    return static_cast<double>(blocks) * period / rate;
}

size_t steadyscore(std::string& op_string) {
    if (spoolrate() > 0.0 && outputfile.getTicksPerQuarterNote() > 0) {
        const tempomap times(outputfile);
        const int steadytpq = 1000; // at 600 beats a minute: steadytickseconds a tick
        MidiFile steady;
        steady.absoluteTime();
        steady.addTrack(outputfile.getTrackCount() - 1);
        steady.setTicksPerQuarterNote(steadytpq);
        Array<unsigned char> tempo;
        tempo.setSize(6);
        const unsigned char bytes[] = {0xFF, 0x51, 0x03, 0x01, 0x86, 0xA0}; // 100000 us
        for (int i = 0; i < 6; i++) {
            tempo[i] = bytes[i];
        }
        steady.addEvent(tempotrack, 0, tempo);
        for (int track = 0; track < outputfile.getTrackCount(); track++) {
            for (int i = 0; i < outputfile.getNumEvents(track); i++) {
                const MFEvent& e = outputfile.getEvent(track, i);
                if (e.isTempo()) {
                    continue;
                }
                const double seconds = times.seconds(e.time);
                steady.addEvent(
                    track,
                    static_cast<int>(std::fmin(seconds / steadytickseconds + 0.5, 2147483647.0)),
                    e.data);
            }
        }
        steady.sortTracks();
        std::ostringstream out;
        steady.write(out);
        op_string = out.str();
        steadyticks = true;
    }
    return (op_string.size() + 7) / 8 * 8;
}

double handedseconds(long long tick) {
    return steadyticks ? tick * steadytickseconds : tickseconds(tick);
}

void teardownrender(renderhandles& fluid) {
    delete_fluid_player(fluid.player);
    delete_fluid_synth(fluid.synth);
    delete_fluid_settings(fluid.settings);
    fluid = renderhandles();
}
