// The banner every run of the player and the renderer starts with.
#ifndef VENNOR_TESTS_BANNER_H
#define VENNOR_TESTS_BANNER_H

#include <string>

inline std::string banner() {
    return "\nPlay Estey e-roll, v3.0\n"
           "vennoroll 1.0: Estey pipe-organ e-roll player, plays through FluidSynth\n\n";
}

#endif
