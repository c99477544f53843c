// The organ's stops (a rank of pipes at a pitch, with its name) and the
// registrations its programs hold. The bank builder voices these; the roll
// picture names them. Nothing here knows about SoundFonts or drawing.
#ifndef VENNOR_ORGAN_STOPS_H
#define VENNOR_ORGAN_STOPS_H

#include <string>
#include <vector>

struct OrganStop {
    const char* rank;     // recordings folder in the sample set, e.g. "Montre8"
    int transpose;        // semitones from the key: 0 = 8', -12 = 16', +12 = 4' ...
    double attenuationDb; // how much softer it speaks within a registration
    const char* name;     // as organists name it, UTF-8, e.g. "Flûte harmonique 8'"
};

extern const OrganStop montre16, montre8, prestant4, doublette2, fourniture, cymbale;
extern const OrganStop bourdon16, bourdon8, fluteDouce4, nasard;
extern const OrganStop fluteHarm8, fluteOct4, gambe8, hautbois8;
extern const OrganStop bombarde16, trompette8, clairon4, octavin2, tierce;

// Every named stop, the ones no registration uses included.
const std::vector<const OrganStop*>& organStops();

// One program of bank 0: the pedal (0), a swell (10 to 63) or a great (70 to
// 123) registration.
struct OrganProgram {
    int program;
    const char* preset; // short ASCII name, at most 19 characters
    std::vector<const OrganStop*> stops;
};

// Program 0, then the swell's and the great's registrations by number.
const std::vector<OrganProgram>& organPrograms();

// The program with this number; null for one the organ lacks.
const OrganProgram* organProgram(int program);

// The stops the programs first to last draw, in the stop table's order: a
// division's stops (the pedal 0, the swell 10 to 63, the great 70 to 123).
std::vector<const OrganStop*> stopsOfPrograms(int first, int last);

// The stop names of a program joined by ", " ("Bourdon 8', Gambe 8'"); for a
// program the organ lacks, "program N".
std::string registrationName(int program);

#endif
