// The MIDI output: JACK MIDI (also what PipeWire offers) or the ALSA
// sequencer, through RtMidi. Each system is asked quietly first, so that a
// missing one is told in one line of ours instead of the libraries' chatter.
#ifndef VENNOR_LIVE_MIDIPORT_H
#define VENNOR_LIVE_MIDIPORT_H

#include <string>
#include <vector>

#include "mapping.h"

enum class midiapi { automatic, jack, alsa };

// "jack" or "alsa"; false for any other word.
bool apinamed(const std::string& word, midiapi& api);

// The input ports a MIDI output can reach, per system that answers:
// "JACK MIDI:" or "ALSA sequencer:" and the ports, or why there are none.
std::vector<std::string> listports(midiapi api);

class midiport {
  public:
    midiport() = default;
    midiport(const midiport&) = delete;
    midiport& operator=(const midiport&) = delete;
    ~midiport();

    // Opens an output of the client "vennoroll-live" on api (automatic: JACK
    // when a server answers, else ALSA) and connects it to the input port
    // whose name is target or holds it (ignoring case) when only one does;
    // with an empty target, opens a port of its own named "organ" for others
    // to connect to. False, with one line in error, when the system, the port
    // or the connection is missing.
    bool open(midiapi api, const std::string& target, std::string& error);

    // The port played into (its full name), or our own port's.
    const std::string& name() const { return portname; }

    bool send(const livemessage& m);

    // False once the port played into is gone (its program ended, or the
    // server did); our own port is never gone.
    bool connected();

    // Leaves the MIDI system. Before any exit: a JACK client that just
    // vanishes holds up a server that waits for its clients.
    void close();

  private:
    void* out = nullptr; // RtMidiOutPtr
    std::string portname;
    bool own = false;
};

#endif
