#include "registration.h"

#include <cmath>
#include <cstdio>

namespace {

// Stops of the organ, by rank and pitch.
const StopChoice montre8{"Montre8", 0, 0.0};
const StopChoice prestant4{"Montre8", 12, 2.0};
const StopChoice doublette2{"Montre8", 24, 4.0};
const StopChoice fourniture{"Montre8", 31, 7.0};
const StopChoice cymbale{"Montre8", 36, 8.0};
const StopChoice bourdon16{"Bourdon8", -12, 2.0};
const StopChoice bourdon8{"Bourdon8", 0, 0.0};
const StopChoice fluteDouce4{"Bourdon8", 12, 2.0};
const StopChoice nasard{"Bourdon8", 19, 4.0};
const StopChoice fluteHarm8{"FlHarm8", 0, 0.0};
const StopChoice fluteOct4{"FlHarm8", 12, 2.0};
const StopChoice gambe8{"Gamba8", 0, 0.0};
const StopChoice hautbois8{"Hautbois8", 0, 0.0};
const StopChoice bombarde16{"Trompette8", -12, 4.0};
const StopChoice trompette8{"Trompette8", 0, 0.0};
const StopChoice clairon4{"Trompette8", 12, 3.0};
const StopChoice octavin2{"Octavin2", 24, 2.0};
const StopChoice tierce{"Octavin2", 28, 5.0};

// A manual registration over the 61 keys C2 to C7.
Registration manual(int program, const char* name, std::vector<StopChoice> stops) {
    return {0, program, name, 36, 96, std::move(stops)};
}

Registration solo(int program, const StopChoice& stop) {
    StopChoice alone = stop;
    alone.attenuationDb = 0.0;
    return {1, program, stopName(stop.rank, stop.transpose), 36, 96, {alone}};
}

std::vector<Registration> makeRegistrations() {
    std::vector<Registration> r;
    // The pedal never changes, so it sits in the middle of the manuals' range.
    r.push_back({0, 0, "Pedal 16 8", 36, 67, {bourdon16, montre8, bourdon8}});

    // Swell: soft flutes and string, then 4' and 2', the oboe, the trumpets.
    r.push_back(manual(10, "Sw Bourdon 8", {bourdon8}));
    r.push_back(manual(11, "Sw Gambe 8", {gambe8}));
    r.push_back(manual(12, "Sw Bourdon Gambe", {bourdon8, gambe8}));
    r.push_back(manual(13, "Sw Bourdon Octavin", {bourdon8, octavin2}));
    r.push_back(manual(20, "Sw Flutes 8 4", {bourdon8, fluteOct4}));
    r.push_back(manual(21, "Sw Gambe Flute 4", {gambe8, fluteOct4}));
    r.push_back(manual(22, "Sw Fonds 8 4", {bourdon8, gambe8, fluteOct4}));
    r.push_back(manual(23, "Sw Flutes 16 8 4", {bourdon16, bourdon8, fluteOct4}));
    r.push_back(manual(30, "Sw Hautbois Bourdon", {hautbois8, bourdon8}));
    r.push_back(manual(31, "Sw Hautbois Gambe", {hautbois8, gambe8}));
    r.push_back(manual(32, "Sw Hautbois 8 4", {hautbois8, bourdon8, fluteOct4}));
    r.push_back(manual(33, "Sw Hautbois 8 4 2", {hautbois8, bourdon8, fluteOct4, octavin2}));
    r.push_back(manual(40, "Sw Fonds 8 4 2", {bourdon8, gambe8, fluteOct4, octavin2}));
    r.push_back(manual(41, "Sw Hautbois Fonds", {hautbois8, bourdon8, gambe8, fluteOct4}));
    r.push_back(
        manual(42, "Sw Fonds 16 8 4 2", {bourdon16, bourdon8, gambe8, fluteOct4, octavin2}));
    r.push_back(manual(43, "Sw Trompette 8", {trompette8, bourdon8}));
    r.push_back(manual(50, "Sw Trompette 8 4", {trompette8, bourdon8, fluteOct4}));
    r.push_back(manual(51, "Sw Anches Fonds", {trompette8, hautbois8, gambe8, fluteOct4}));
    r.push_back(
        manual(52, "Sw Trompette 8 4 2", {trompette8, bourdon8, gambe8, fluteOct4, octavin2}));
    r.push_back(
        manual(53, "Sw Anches 16 8 4", {bourdon16, trompette8, hautbois8, bourdon8, fluteOct4}));
    r.push_back(manual(60, "Sw Plein 8 4 2",
                       {trompette8, hautbois8, bourdon8, gambe8, fluteOct4, octavin2}));
    r.push_back(
        manual(61, "Sw Tromp Clairon", {trompette8, clairon4, bourdon8, fluteOct4, octavin2}));
    r.push_back(manual(62, "Sw Tutti 16",
                       {bourdon16, trompette8, clairon4, bourdon8, fluteOct4, octavin2}));
    r.push_back(manual(63, "Sw Bombarde Tutti",
                       {bombarde16, trompette8, clairon4, hautbois8, bourdon8, fluteOct4}));

    // Great: flutes and principal, the principal chorus, cornet and mixtures, the reeds.
    r.push_back(manual(70, "Gt Flute harm 8", {fluteHarm8}));
    r.push_back(manual(71, "Gt Montre 8", {montre8}));
    r.push_back(manual(72, "Gt Flutes 8 4", {fluteHarm8, fluteDouce4}));
    r.push_back(manual(73, "Gt Montre Flute 8", {montre8, fluteHarm8}));
    r.push_back(manual(80, "Gt Montre Prestant", {montre8, prestant4}));
    r.push_back(manual(81, "Gt Flutes 8 8 4", {fluteHarm8, bourdon8, fluteDouce4}));
    r.push_back(manual(82, "Gt Fonds 8 4", {montre8, fluteHarm8, prestant4}));
    r.push_back(manual(83, "Gt Fonds 16 8", {bourdon16, montre8, fluteHarm8}));
    r.push_back(manual(90, "Gt Principaux 8 4 2", {montre8, fluteHarm8, prestant4, doublette2}));
    r.push_back(manual(91, "Gt Nasard", {montre8, bourdon8, fluteDouce4, nasard}));
    r.push_back(manual(92, "Gt Fonds 16 8 4", {bourdon16, montre8, fluteHarm8, prestant4}));
    r.push_back(manual(93, "Gt Principaux 16 2", {bourdon16, montre8, prestant4, doublette2}));
    r.push_back(
        manual(100, "Gt Fonds 16 8 4 2", {bourdon16, montre8, fluteHarm8, prestant4, doublette2}));
    r.push_back(
        manual(101, "Gt Cornet", {montre8, bourdon8, fluteDouce4, nasard, octavin2, tierce}));
    r.push_back(manual(102, "Gt Plein jeu", {montre8, prestant4, doublette2, fourniture, cymbale}));
    r.push_back(manual(103, "Gt Trompette Fonds", {trompette8, montre8, fluteHarm8}));
    r.push_back(manual(110, "Gt Fonds Trompette",
                       {trompette8, montre8, fluteHarm8, prestant4, doublette2}));
    r.push_back(manual(111, "Gt Plein jeu 16",
                       {bourdon16, montre8, prestant4, doublette2, fourniture, cymbale}));
    r.push_back(manual(112, "Gt Trompette 16 8 4",
                       {trompette8, bourdon16, montre8, fluteHarm8, prestant4}));
    r.push_back(manual(113, "Gt Tromp Clairon", {trompette8, clairon4, montre8, prestant4}));
    r.push_back(manual(120, "Gt Grand choeur",
                       {trompette8, clairon4, bourdon16, montre8, prestant4, doublette2}));
    r.push_back(
        manual(121, "Gt Grand jeu", {trompette8, montre8, bourdon8, prestant4, nasard, tierce}));
    r.push_back(manual(122, "Gt Bombarde Pl jeu",
                       {bombarde16, trompette8, montre8, prestant4, doublette2, fourniture}));
    r.push_back(
        manual(123, "Gt Anches 16 8 4", {bombarde16, trompette8, clairon4, montre8, fluteHarm8}));

    // Bank 128: in GS mode FluidSynth gives MIDI channel 10 the drum bank at every reset
    // and warns when there is none. The organ has no percussion: a silent kit.
    r.push_back({128, 0, "No percussion", 36, 96, {}});

    // Bank 1: every rank alone, for voicing and for measuring the ranks one by one.
    const StopChoice ranks[] = {montre8,   bourdon8,   fluteHarm8, gambe8,
                                hautbois8, trompette8, octavin2};
    int program = 0;
    for (const StopChoice& s : ranks) {
        r.push_back(solo(program++, s));
    }
    return r;
}

} // namespace

double rankTrimDb(const std::string& rank) {
    return rank == "Gamba8" ? 5.0 : 0.0;
}

std::string stopName(const std::string& rank, int transpose) {
    struct Known {
        const char* rank;
        int transpose;
        const char* name;
    };
    static const Known known[] = {
        {"Montre8", -12, "Montre 16'"},
        {"Montre8", 0, "Montre 8'"},
        {"Montre8", 12, "Prestant 4'"},
        {"Montre8", 24, "Doublette 2'"},
        {"Montre8", 31, "Fourniture 1 1/3'"},
        {"Montre8", 36, "Cymbale 1'"},
        {"Bourdon8", -12, "Bourdon 16'"},
        {"Bourdon8", 0, "Bourdon 8'"},
        {"Bourdon8", 12, "Flute douce 4'"},
        {"Bourdon8", 19, "Nasard 2 2/3'"},
        {"FlHarm8", 0, "Flute harmonique 8'"},
        {"FlHarm8", 12, "Flute octaviante 4'"},
        {"Gamba8", 0, "Gambe 8'"},
        {"Hautbois8", 0, "Hautbois 8'"},
        {"Trompette8", -12, "Bombarde 16'"},
        {"Trompette8", 0, "Trompette 8'"},
        {"Trompette8", 12, "Clairon 4'"},
        {"Octavin2", 24, "Octavin 2'"},
        {"Octavin2", 28, "Tierce 1 3/5'"},
    };
    for (const Known& k : known) {
        if (rank == k.rank && transpose == k.transpose) {
            return k.name;
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
