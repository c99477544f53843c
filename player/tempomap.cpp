#include "tempomap.h"

#include <algorithm>
#include <utility>

tempomap::tempomap(MidiFile& score) {
    std::vector<std::pair<long long, int>> tempi;
    for (int track = 0; track < score.getTrackCount(); track++) {
        for (int i = 0; i < score.getNumEvents(track); i++) {
            MFEvent& e = score.getEvent(track, i);
            if (e.isTempo()) {
                tempi.emplace_back(e.time, e.getTempoMicro());
            }
        }
    }
    std::stable_sort(tempi.begin(), tempi.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    const double tpq = score.getTicksPerQuarterNote() > 0 ? score.getTicksPerQuarterNote() : 1;
    changes.push_back({0, 0.0, 0.5 / tpq});
    for (const auto& [tick, micro] : tempi) {
        segment& last = changes.back();
        if (tick == last.tick) {
            last.secondspertick = micro / 1.0e6 / tpq;
        } else {
            changes.push_back(
                {tick, last.start + (tick - last.tick) * last.secondspertick, micro / 1.0e6 / tpq});
        }
    }
}

double tempomap::seconds(long long tick) const {
    auto after = std::upper_bound(changes.begin(), changes.end(), tick,
                                  [](long long t, const segment& s) { return t < s.tick; });
    const segment& s = after == changes.begin() ? changes.front() : *std::prev(after);
    return s.start + static_cast<double>(tick - s.tick) * s.secondspertick;
}
