// Playing the mapped stream in real time, and what ends it early.
#ifndef VENNOR_LIVE_PERFORM_H
#define VENNOR_LIVE_PERFORM_H

#include <vector>

#include "mapping.h"
#include "midiport.h"

enum class performed { whole, interrupted, lost };

// SIGINT, SIGTERM and SIGHUP end the playing (performlive) instead of the
// process, so that nothing is left sounding.
void catchstops();

// The signal that ended the playing, 0 while none has.
int stopsignal();

// Sends each message at its time (seconds through times from the moment of
// the call), paced against the monotonic clock from that one start so that
// nothing drifts, with the progress line on a terminal. On a stop signal, or
// once the port is gone, every note still sounding and every stop still drawn
// is ended (soundingledger) before it returns.
performed performlive(midiport& port, const std::vector<livemessage>& stream,
                      const tempomap& times);

#endif
