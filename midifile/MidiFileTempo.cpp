// The tempo map: each distinct event time of the score with its time in
// seconds, built lazily from the tempo events and cached in the score.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <iostream>

#include "MidiFile.h"

void MidiFile::buildTimeMap() {
    const int oldTrackState = trackState;
    const int oldTimeState = timeState;
    absoluteTime();
    joinTracks();

    SigCollection<MFEvent>& list = *events[0];
    const int count = static_cast<int>(list.getSize());
    timeMap.reserve(list.getSize() + 10);
    timeMap.setSize(0);

    // Rates are worked out in double so that no tick count can overflow. With
    // 0 ticks per quarter note they become infinite; see the interval below.
    double secondsPerTick = 60.0 / (ticksPerQuarterNote * 120.0);
    double total = 0.0;
    int lastTick = 0;
    for (int i = 0; i < count; i++) {
        const MFEvent& event = list[i];
        const int tick = event.time;
        if (timeMap.getSize() == 0 || tick > lastTick) {
            const int64_t interval = static_cast<int64_t>(tick) - lastTick;
            // An interval of no ticks takes no time, even at an infinite rate
            // (0 x inf would make the entry NaN).
            if (interval != 0) {
                total += static_cast<double>(interval) * secondsPerTick;
            }
            _TickTime entry;
            entry.tick = tick;
            entry.seconds = total;
            timeMap.append(entry);
            lastTick = tick;
        }
        if (event.isTempo()) {
            secondsPerTick = event.getTempoMicro() / 1000000.0 / ticksPerQuarterNote;
        }
    }

    if (oldTimeState == 0) {
        deltaTime();
    }
    if (oldTrackState == 0) {
        splitTracks();
    }
    timeMapValid = 1;
}

void MidiFile::doTimeInSecondsAnalysis() {
    buildTimeMap();
}

double MidiFile::getTimeInSeconds(int tickvalue) {
    if (timeMapValid == 0) {
        buildTimeMap();
    }
    _TickTime key;
    key.tick = tickvalue;
    key.seconds = -1.0;
    const void* found =
        std::bsearch(&key, timeMap.getBase(), timeMap.getSize(), sizeof(_TickTime), ticksearch);
    if (found == nullptr) {
        std::cerr << "ERROR: tick value " << tickvalue << " was not found " << std::endl;
        std::exit(1);
    }
    return static_cast<const _TickTime*>(found)->seconds;
}

double MidiFile::getTimeInSeconds(int track, int index) {
    // The stored time, read before any rebuild of the map can re-sort tracks.
    const int tick = getEvent(track, index).time;
    return getTimeInSeconds(tick);
}

int MidiFile::getAbsoluteTickTime(double seconds) {
    if (timeMapValid == 0) {
        buildTimeMap();
    }
    // secondsearch calls NaN equal to everything, so a NaN key would "find"
    // whichever entry the search probes first; no tick belongs to it.
    if (std::isnan(seconds)) {
        return -1;
    }
    _TickTime key;
    key.tick = -1;
    key.seconds = seconds;
    const void* found =
        std::bsearch(&key, timeMap.getBase(), timeMap.getSize(), sizeof(_TickTime), secondsearch);
    if (found != nullptr) {
        return static_cast<const _TickTime*>(found)->tick;
    }
    return linearTickInterpolationAtSecond(seconds);
}

int MidiFile::linearTickInterpolationAtSecond(double seconds) {
    if (timeMapValid == 0) {
        buildTimeMap();
    }
    const int lastIndex = static_cast<int>(timeMap.getSize()) - 1;
    // An empty map ends the program here with the index message.
    const _TickTime& last = timeMap[lastIndex];
    if (std::isnan(seconds) || seconds < 0.0 || seconds > last.seconds) {
        return -1;
    }

    int below = -1;
    bool bracketed = false;
    if (seconds < last.seconds / 2.0) {
        for (int i = 0; i <= lastIndex; i++) {
            if (timeMap[i].seconds > seconds) {
                below = i - 1;
                bracketed = true;
                break;
            }
            if (timeMap[i].seconds == seconds) {
                below = i;
                bracketed = true;
                break;
            }
        }
    } else {
        for (int i = lastIndex; i >= 0; i--) {
            if (timeMap[i].seconds < seconds) {
                below = i;
                bracketed = true;
                break;
            }
            if (timeMap[i].seconds == seconds) {
                below = i;
                bracketed = true;
                break;
            }
        }
    }
    if (!bracketed || below < 0 || below == lastIndex) {
        return -1;
    }

    const _TickTime& lower = timeMap[below];
    const _TickTime& upper = timeMap[below + 1];
    // Two entries at the same second (a tempo of 0) would divide by zero; the
    // segment takes no time, so its first tick is the answer.
    if (upper.seconds == lower.seconds) {
        return lower.tick;
    }
    const double tick = lower.tick + (static_cast<double>(upper.tick) - lower.tick) /
                                         (upper.seconds - lower.seconds) *
                                         (seconds - lower.seconds);
    // Converting NaN, an infinity or anything outside int to int is undefined;
    // such results (only from infinite or decreasing rates) give -1.
    if (!(tick > -2147483649.0 && tick < 2147483648.0)) {
        return -1;
    }
    return static_cast<int>(tick);
}

int MidiFile::ticksearch(const void* a, const void* b) {
    const int first = static_cast<const _TickTime*>(a)->tick;
    const int second = static_cast<const _TickTime*>(b)->tick;
    if (first < second) {
        return -1;
    }
    if (first > second) {
        return 1;
    }
    return 0;
}

int MidiFile::secondsearch(const void* a, const void* b) {
    const double first = static_cast<const _TickTime*>(a)->seconds;
    const double second = static_cast<const _TickTime*>(b)->seconds;
    if (first < second) {
        return -1;
    }
    if (first > second) {
        return 1;
    }
    return 0;
}
