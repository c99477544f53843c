// Ticks of a score to seconds through its tempo events, at any tick: the
// model's own time map knows only the ticks where events lie.
#ifndef VENNOR_PLAYER_TEMPOMAP_H
#define VENNOR_PLAYER_TEMPOMAP_H

#include <vector>

#include "MidiFile.h"

// Seconds of a tick through the score's tempo events (120 beats a minute
// before the first), for ticks between events as well.
class tempomap {
  public:
    explicit tempomap(MidiFile& score);
    double seconds(long long tick) const;

  private:
    struct segment {
        long long tick;
        double start; // seconds at tick
        double secondspertick;
    };
    std::vector<segment> changes;
};

#endif
