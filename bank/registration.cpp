#include "registration.h"

#include <cstdio>

namespace {

StopChoice choice(const OrganStop& stop) {
    return {stop.rank, stop.transpose, stop.attenuationDb};
}

Registration solo(int program, const OrganStop& stop) {
    return {1, program, stopName(stop.rank, stop.transpose), 36, 96, {{stop.rank, stop.transpose}}};
}

std::vector<Registration> makeRegistrations() {
    std::vector<Registration> r;
    // The manuals span the 61 keys C2 to C7; the pedal, which never changes,
    // sits in the middle of their range.
    for (const OrganProgram& p : organPrograms()) {
        Registration reg{0, p.program, p.preset, 36, p.program == 0 ? 67 : 96, {}};
        for (const OrganStop* stop : p.stops) {
            reg.stops.push_back(choice(*stop));
        }
        r.push_back(reg);
    }

    // Bank 128: in GS mode FluidSynth gives MIDI channel 10 the drum bank at every reset
    // and warns when there is none. The organ has no percussion: a silent kit.
    r.push_back({128, 0, "No percussion", 36, 96, {}});

    // Bank 1: every rank alone, for voicing and for measuring the ranks one by one.
    const OrganStop* ranks[] = {&montre8,   &bourdon8,   &fluteHarm8, &gambe8,
                                &hautbois8, &trompette8, &octavin2};
    int program = 0;
    for (const OrganStop* s : ranks) {
        r.push_back(solo(program++, *s));
    }
    return r;
}

} // namespace

double rankTrimDb(const std::string& rank) {
    return rank == "Gamba8" ? 5.0 : 0.0;
}

std::string stopName(const std::string& rank, int transpose) {
    for (const OrganStop* stop : organStops()) {
        if (rank == stop->rank && transpose == stop->transpose) {
            // SoundFont names are ASCII: the one accented letter the names
            // use loses its accent.
            std::string name = stop->name;
            for (size_t at; (at = name.find("\xC3\xBB")) != std::string::npos;) {
                name.replace(at, 2, "u");
            }
            return name;
        }
    }
    char buf[64];
    std::snprintf(buf, sizeof buf, "%s %+d", rank.c_str(), transpose);
    return buf;
}

const std::vector<Registration>& organRegistrations() {
    static const std::vector<Registration> table = makeRegistrations();
    return table;
}
