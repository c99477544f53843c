#include "rollwriter.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

struct HoleEvent {
    long tick;
    int opens; // closings first: a hole reopened on the tick it closed stays two holes
    int hole;
};

void addBytes(MidiFile& roll, long tick, int a, int b, int c) {
    Array<unsigned char> bytes;
    bytes.setSize(3);
    bytes[0] = static_cast<unsigned char>(a);
    bytes[1] = static_cast<unsigned char>(b);
    bytes[2] = static_cast<unsigned char>(c);
    roll.addEvent(0, static_cast<int>(tick), bytes);
}

} // namespace

void buildRoll(const Score& score, MidiFile& roll) {
    roll.absoluteTime();
    roll.setTicksPerQuarterNote(score.tpq);
    if (!score.title.empty()) {
        roll.addMetaEvent(0, 0, 3, score.title.c_str());
    }
    if (!score.copyright.empty()) {
        roll.addMetaEvent(0, 0, 2, score.copyright.c_str());
    }
    for (const std::string& text : score.texts) {
        roll.addMetaEvent(0, 0, 1, text.c_str());
    }
    if (score.tempo > 0.0) {
        const long micro = std::lround(60000000.0 / score.tempo);
        Array<unsigned char> tempo;
        tempo.setSize(6);
        tempo[0] = 0xFF;
        tempo[1] = 0x51;
        tempo[2] = 0x03;
        tempo[3] = static_cast<unsigned char>((micro >> 16) & 0xFF);
        tempo[4] = static_cast<unsigned char>((micro >> 8) & 0xFF);
        tempo[5] = static_cast<unsigned char>(micro & 0xFF);
        roll.addEvent(0, 0, tempo);
    }
    std::vector<HoleEvent> events;
    for (const HoleSpan& h : score.holes) {
        events.push_back({h.start, 1, h.hole});
        events.push_back({h.end, 0, h.hole});
    }
    std::sort(events.begin(), events.end(), [](const HoleEvent& a, const HoleEvent& b) {
        if (a.tick != b.tick) {
            return a.tick < b.tick;
        }
        if (a.opens != b.opens) {
            return a.opens < b.opens;
        }
        return a.hole < b.hole;
    });
    // Already in roll order; the model's sort would put the header after
    // notes at tick 0, which the player does not mind but a reader of the
    // file might.
    for (const HoleEvent& e : events) {
        if (e.opens == 1) {
            addBytes(roll, e.tick, 0x90, e.hole, 64);
        } else {
            addBytes(roll, e.tick, 0x80, e.hole, 0);
        }
    }
}
