// The organ score, mapped: one timed stream of MIDI messages for another
// organ. Nothing here touches a MIDI system, so the whole mapping is tested
// on scores built in memory.
#ifndef VENNOR_LIVE_MAPPING_H
#define VENNOR_LIVE_MAPPING_H

#include <map>
#include <set>
#include <tuple>
#include <utility>
#include <vector>

#include "MidiFile.h"
#include "livemap.h"
#include "tempomap.h"

struct livemessage {
    // What the message does; within one tick the stream keeps this order, so
    // that a note ending where the registration changes ends under the old
    // registration and a note starting there starts under the new one.
    enum kind { noteoff, stopoff, stopon, program, shademove, noteon, allnotesoff };
    long long tick = 0;
    int what = noteon;
    int size = 0;
    unsigned char bytes[3] = {0, 0, 0};
    int retire = 0; // a stop drawn by a controller: the value that retires it
};

bool operator==(const livemessage& a, const livemessage& b);

// The swell shades from `tick` on: 0 (closed) to 3 (open).
struct shadesat {
    long long tick;
    int position;
};

// What has been sent and not yet ended: sounding notes (counted per channel
// and key) and drawn stops that a controller carries. closing() ends them all,
// then All Notes Off on every channel the stream used.
class soundingledger {
  public:
    void note(const livemessage& m);
    std::vector<livemessage> closing(long long tick) const;
    bool silent() const { return notes.empty() && drawn.empty(); }

  private:
    std::map<std::pair<int, int>, int> notes;         // (channel, key) -> count
    std::map<std::pair<int, int>, livemessage> drawn; // (channel, controller) -> off
    std::set<int> channels;
};

// The organ score (16 tracks, absolute ticks, sorted: as serialised) and the
// shades' steps, through the map: the divisions' notes on the map's channels
// and velocity, the registration as program changes and/or stop messages
// (differences only: a message shared by two stops stays on while either is
// drawn), the shades on their controller, then, at the last tick, the off
// message of every stop still drawn and All Notes Off on each channel used.
// Sorted by tick, then kind. The score is only read.
std::vector<livemessage> mapscore(MidiFile& score, const std::vector<shadesat>& shades,
                                  const livemap& map);

#endif
