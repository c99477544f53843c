// Banner and command-line checks.
#include "cli.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "state.h"

void printbanner() {
    std::cout << "\nPlay Estey e-roll, v3.0" << std::endl;
    std::cout << "vennoroll 1.0: Estey pipe-organ e-roll player, plays through FluidSynth\n"
              << std::endl;
}

void checkarguments(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::cout << "Usage: " << (argc > 0 && argv[0] ? argv[0] : "")
                  << "  esteye-roll.mes [optempo]" << std::endl;
        std::exit(1);
    }
    // Only an existence test: the reader opens the roll itself.
    FILE* roll = std::fopen(argv[1], "r");
    if (roll == nullptr) {
        std::cout << "Input file does not exist" << std::endl;
        std::exit(1);
    }
    std::fclose(roll);
    if (argc == 3) {
        if (std::strcmp(argv[2], "s") == 0) {
            sc = true;
        } else {
            optempovalid = true;
            specifiedtempo = std::atof(argv[2]);
            // Written as "not inside" so that "nan" is refused as well.
            if (!(specifiedtempo >= 10.0 && specifiedtempo <= 200.0)) {
                std::cout << "Output tempo must be between 10.0 and 200.0" << std::endl;
                std::exit(1);
            }
        }
    }
}
