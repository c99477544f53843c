// The tests' ear on a JACK server: a client "capture" with a MIDI input and two
// audio inputs that wires the given ports together as soon as they exist,
// keeps everything that arrives, with its time on the server's frame clock,
// and writes it out when told to stop (SIGTERM or SIGINT). Its MIDI output
// "thru" passes on, in the same period, everything the input receives: a
// source that exists before an organ that only plays from the sources it
// found at its start (GrandOrgue).
//   jack_capture READYFILE MIDIFILE AUDIOFILE [SOURCE DESTINATION]...
// MIDIFILE: one line per message, "FRAMETIME CLOCKTIME HEX" in seconds: its
// frame on the server's frame clock (/ rate), which the audio's frames follow,
// and when this client was handed it on the monotonic clock, the time an
// organ would get it (a server held up by a busy machine falls behind on the
// frame clock, not on this one). A first line "audio FRAMETIME RATE" gives the
// first audio frame.
// AUDIOFILE: the two inputs as interleaved 32-bit floats, frame by frame from
// that first one.
#include <jack/jack.h>
#include <jack/midiport.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

struct arrival {
    jack_nframes_t frame;
    double clock;
    int size;
    unsigned char bytes[3];
};

jack_client_t* client = nullptr;
jack_port_t* midiin = nullptr;
jack_port_t* midithru = nullptr;
jack_port_t* audioin[2] = {nullptr, nullptr};
// Room taken before activation: the process callback never allocates.
std::vector<arrival> arrivals(100000);
std::atomic<size_t> arrived{0};
std::vector<float> audio;
std::atomic<size_t> audioframes{0};
std::atomic<jack_nframes_t> firstframe{0};
std::atomic<bool> started{false};
volatile std::sig_atomic_t stop = 0;

int process(jack_nframes_t frames, void*) {
    const jack_nframes_t at = jack_last_frame_time(client);
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    const double began = static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
    if (!started.exchange(true)) {
        firstframe = at;
    }
    void* buffer = jack_port_get_buffer(midiin, frames);
    void* thru = jack_port_get_buffer(midithru, frames);
    jack_midi_clear_buffer(thru);
    const jack_nframes_t count = jack_midi_get_event_count(buffer);
    for (jack_nframes_t i = 0; i < count; i++) {
        jack_midi_event_t e;
        const size_t n = arrived.load();
        if (jack_midi_event_get(&e, buffer, i) != 0) {
            continue;
        }
        jack_midi_event_write(thru, e.time, e.buffer, e.size);
        if (n < arrivals.size() && e.size <= 3) {
            arrivals[n].frame = at + e.time;
            arrivals[n].clock = began + static_cast<double>(e.time) / jack_get_sample_rate(client);
            arrivals[n].size = static_cast<int>(e.size);
            std::copy(e.buffer, e.buffer + e.size, arrivals[n].bytes);
            arrived = n + 1;
        }
    }
    // Each period where the frame clock puts it: a period this client missed
    // stays silent instead of pulling the rest earlier.
    const size_t done = at - firstframe.load();
    const float* left = static_cast<float*>(jack_port_get_buffer(audioin[0], frames));
    const float* right = static_cast<float*>(jack_port_get_buffer(audioin[1], frames));
    const size_t room = audio.size() / 2;
    for (size_t i = 0; i < frames && done + i < room; i++) {
        audio[2 * (done + i)] = left[i];
        audio[2 * (done + i) + 1] = right[i];
    }
    audioframes = std::min(room, done + frames);
    return 0;
}

void onstop(int) {
    stop = 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4 || argc % 2 != 0) {
        std::fprintf(stderr, "usage: jack_capture READYFILE MIDIFILE AUDIOFILE [SOURCE DEST]...\n");
        return 2;
    }
    std::signal(SIGTERM, onstop);
    std::signal(SIGINT, onstop);
    // The server may still be starting.
    for (int tries = 0; client == nullptr && tries < 100; tries++) {
        client = jack_client_open("capture", JackNoStartServer, nullptr);
        if (client == nullptr) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    if (client == nullptr) {
        std::fprintf(stderr, "jack_capture: no JACK server\n");
        return 1;
    }
    const jack_nframes_t rate = jack_get_sample_rate(client);
    audio.assign(static_cast<size_t>(rate) * 2 * 120, 0.0f); // two minutes
    midiin = jack_port_register(client, "midi", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
    midithru = jack_port_register(client, "thru", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    audioin[0] = jack_port_register(client, "left", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
    audioin[1] = jack_port_register(client, "right", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
    jack_set_process_callback(client, process, nullptr);
    if (midiin == nullptr || midithru == nullptr || audioin[1] == nullptr ||
        jack_activate(client) != 0) {
        std::fprintf(stderr, "jack_capture: cannot set up its ports\n");
        return 1;
    }
    std::vector<std::pair<std::string, std::string>> wires;
    for (int i = 4; i + 1 < argc; i += 2) {
        wires.emplace_back(argv[i], argv[i + 1]);
    }
    if (std::FILE* ready = std::fopen(argv[1], "w")) {
        std::fclose(ready);
    }
    while (stop == 0) {
        for (auto at = wires.begin(); at != wires.end();) {
            const bool made = jack_port_by_name(client, at->first.c_str()) != nullptr &&
                              jack_port_by_name(client, at->second.c_str()) != nullptr &&
                              jack_connect(client, at->first.c_str(), at->second.c_str()) == 0;
            at = made ? wires.erase(at) : std::next(at);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    jack_deactivate(client);
    std::FILE* midi = std::fopen(argv[2], "w");
    std::FILE* sound = std::fopen(argv[3], "wb");
    if (midi == nullptr || sound == nullptr) {
        return 1;
    }
    std::fprintf(midi, "audio %.6f %u\n", static_cast<double>(firstframe.load()) / rate, rate);
    for (size_t i = 0; i < arrived.load(); i++) {
        std::fprintf(midi, "%.6f %.6f ", static_cast<double>(arrivals[i].frame) / rate,
                     arrivals[i].clock);
        for (int b = 0; b < arrivals[i].size; b++) {
            std::fprintf(midi, "%02X", arrivals[i].bytes[b]);
        }
        std::fputc('\n', midi);
    }
    std::fwrite(audio.data(), sizeof(float), audioframes.load() * 2, sound);
    std::fclose(midi);
    std::fclose(sound);
    jack_client_close(client);
    return 0;
}
