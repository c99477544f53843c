// What both tempo-map suites build their scores from: byte arrays, tempo
// payloads and the worked example.
#ifndef VENNOR_TEMPO_EXAMPLE_H
#define VENNOR_TEMPO_EXAMPLE_H

#include <vector>

#include "../support/bytes.h"
#include "MidiFile.h"

namespace tempotest {

inline Array<unsigned char> tempoPayload(int micro) {
    return bytearray({(micro >> 16) & 0xFF, (micro >> 8) & 0xFF, micro & 0xFF});
}

// One track at 96 ticks per quarter note, absolute ticks 0, 96 and 192.
inline void buildWorkedExample(MidiFile& score, bool slowAt96) {
    score.setTicksPerQuarterNote(96);
    score.absoluteTime();
    score.addEvent(0, 0, bytearray({0x90, 60, 64}));
    score.addEvent(0, 96, bytearray({0x80, 60, 0}));
    if (slowAt96) {
        score.addMetaEvent(0, 96, 0x51, tempoPayload(1000000));
    }
    score.addEvent(0, 192, bytearray({0x90, 62, 64}));
}

} // namespace tempotest

#endif
