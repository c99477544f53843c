#include "midiport.h"

#include <alsa/asoundlib.h>
#include <jack/jack.h>
#include <rtmidi/rtmidi_c.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace {

const char* const clientname = "vennoroll-live";

void quietjack(const char*) {}

void quietalsa(const char*, int, const char*, int, const char*, ...) {}

// The libraries print their own failures on standard error; ours is one line.
void hushlibraries() {
    jack_set_error_function(quietjack);
    jack_set_info_function(quietjack);
    snd_lib_error_set_handler(quietalsa);
}

std::string jackserver() {
    const char* name = std::getenv("JACK_DEFAULT_SERVER");
    return name != nullptr && *name != '\0' ? name : "default";
}

// Whether a JACK server answers; never starts one.
bool jackrunning() {
    hushlibraries();
    jack_status_t status;
    jack_client_t* client = jack_client_open("vennoroll-live-probe", JackNoStartServer, &status);
    if (client == nullptr) {
        return false;
    }
    jack_client_close(client);
    return true;
}

bool alsasequencer() {
    hushlibraries();
    snd_seq_t* seq = nullptr;
    if (snd_seq_open(&seq, "default", SND_SEQ_OPEN_OUTPUT, SND_SEQ_NONBLOCK) < 0) {
        return false;
    }
    snd_seq_close(seq);
    return true;
}

std::string nojack() {
    return "No JACK server is running (server \"" + jackserver() + "\")";
}

const char* const noalsa = "No ALSA sequencer (/dev/snd/seq cannot be opened)";

// The system to use, or false with the line that says what is missing.
bool choose(midiapi wanted, RtMidiApi& api, std::string& error) {
    if (wanted != midiapi::alsa && jackrunning()) {
        api = RTMIDI_API_UNIX_JACK;
        return true;
    }
    if (wanted != midiapi::jack && alsasequencer()) {
        api = RTMIDI_API_LINUX_ALSA;
        return true;
    }
    error = wanted == midiapi::jack ? nojack()
            : wanted == midiapi::alsa
                ? std::string(noalsa)
                : "No MIDI system: no JACK server is running (server \"" + jackserver() +
                      "\") and no ALSA sequencer (/dev/snd/seq cannot be "
                      "opened)";
    return false;
}

std::vector<std::string> portnames(RtMidiOutPtr out) {
    std::vector<std::string> names;
    const unsigned count = rtmidi_get_port_count(out);
    for (unsigned i = 0; out->ok && i < count; i++) {
        char name[512];
        int length = sizeof name;
        if (rtmidi_get_port_name(out, i, name, &length) >= 0 && out->ok) {
            names.emplace_back(name);
        }
    }
    return names;
}

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The port named target, or the one port whose name holds it; -1 with the
// reason in error otherwise.
int findport(const std::vector<std::string>& names, const std::string& target, std::string& error) {
    std::vector<int> holding;
    for (size_t i = 0; i < names.size(); i++) {
        if (names[i] == target) {
            return static_cast<int>(i);
        }
        if (lower(names[i]).find(lower(target)) != std::string::npos) {
            holding.push_back(static_cast<int>(i));
        }
    }
    if (holding.size() == 1) {
        return holding[0];
    }
    if (holding.empty()) {
        error = "No MIDI input port \"" + target + "\" (vennoroll-live --list shows the ports)";
    } else {
        error = "\"" + target + "\" names " + std::to_string(holding.size()) + " ports:";
        for (int i : holding) {
            error += (i == holding[0] ? " " : ", ") + names[static_cast<size_t>(i)];
        }
    }
    return -1;
}

} // namespace

bool apinamed(const std::string& word, midiapi& api) {
    if (word == "jack" || word == "alsa") {
        api = word == "jack" ? midiapi::jack : midiapi::alsa;
        return true;
    }
    return false;
}

std::vector<std::string> listports(midiapi wanted) {
    std::vector<std::string> lines;
    const std::pair<midiapi, RtMidiApi> systems[] = {{midiapi::jack, RTMIDI_API_UNIX_JACK},
                                                     {midiapi::alsa, RTMIDI_API_LINUX_ALSA}};
    for (const auto& [which, api] : systems) {
        if (wanted != midiapi::automatic && wanted != which) {
            continue;
        }
        const bool jack = which == midiapi::jack;
        lines.push_back(jack ? "JACK MIDI (server \"" + jackserver() + "\"):" : "ALSA sequencer:");
        if (!(jack ? jackrunning() : alsasequencer())) {
            lines.push_back(jack ? "  (no server running)"
                                 : "  (none: /dev/snd/seq cannot be opened)");
            continue;
        }
        RtMidiOutPtr out = rtmidi_out_create(api, clientname);
        std::vector<std::string> names = out->ok ? portnames(out) : std::vector<std::string>();
        rtmidi_out_free(out);
        for (const std::string& name : names) {
            lines.push_back("  " + name);
        }
        if (names.empty()) {
            lines.push_back("  (no input ports)");
        }
    }
    return lines;
}

midiport::~midiport() {
    close();
}

void midiport::close() {
    if (out != nullptr) {
        rtmidi_close_port(static_cast<RtMidiOutPtr>(out));
        rtmidi_out_free(static_cast<RtMidiOutPtr>(out));
        out = nullptr;
    }
}

bool midiport::open(midiapi wanted, const std::string& target, std::string& error) {
    RtMidiApi api = RTMIDI_API_UNSPECIFIED;
    if (!choose(wanted, api, error)) {
        return false;
    }
    RtMidiOutPtr o = rtmidi_out_create(api, clientname);
    out = o;
    // RtMidi's own messages after a failure are not to be trusted; ours are.
    const std::string system = api == RTMIDI_API_UNIX_JACK ? "JACK" : "the ALSA sequencer";
    if (!o->ok) {
        error = "Cannot open a MIDI output on " + system;
        return false;
    }
    own = target.empty();
    if (own) {
        rtmidi_open_virtual_port(o, "organ");
        portname = std::string(clientname) + ":organ";
    } else {
        std::vector<std::string> names = portnames(o);
        int port = findport(names, target, error);
        if (port < 0) {
            return false;
        }
        portname = names[static_cast<size_t>(port)];
        rtmidi_open_port(o, static_cast<unsigned>(port), "organ");
    }
    if (!o->ok) {
        error = "Cannot connect to " + portname + " on " + system;
        return false;
    }
    return true;
}

bool midiport::send(const livemessage& m) {
    RtMidiOutPtr o = static_cast<RtMidiOutPtr>(out);
    return o != nullptr && rtmidi_out_send_message(o, m.bytes, m.size) == 0 && o->ok;
}

bool midiport::connected() {
    if (own) {
        return true;
    }
    std::vector<std::string> names = portnames(static_cast<RtMidiOutPtr>(out));
    return std::find(names.begin(), names.end(), portname) != names.end();
}
