#pragma once

#include <string>
#include <vector>

#include "stops.h"

// One stop of a registration: a rank of pipes sounding `transpose` semitones from the key
// (0 = 8', -12 = 16', +12 = 4', +19 = 2 2/3', +24 = 2' ...), softened by `attenuationDb`.
struct StopChoice {
    std::string rank; // recordings folder in the sample set, e.g. "Montre8"
    int transpose = 0;
    double attenuationDb = 0.0;
};

struct Registration {
    int bank = 0;
    int program = 0;
    std::string name; // at most 19 characters, ASCII
    int lowKey = 36;
    int highKey = 96;
    std::vector<StopChoice> stops;
};

// Level change in dB this bank gives a whole rank on top of the organ definition's voicing:
// the sample set's Gamba is recorded far softer than its neighbours.
double rankTrimDb(const std::string& rank);

// The organ's conventional name of a stop, e.g. ("Montre8", 12) -> "Prestant 4'".
std::string stopName(const std::string& rank, int transpose);

// Bank 0: the pedal (program 0) and the swell and great registrations that the stop
// controls select (10N + k and 10N + 60 + k), as organPrograms() names them. Bank 1: each rank
// alone at its own pitch. Bank 128, program 0: a silent drum kit, without stops.
const std::vector<Registration>& organRegistrations();
