// Acceptance of the roll once the reader has loaded it.
#include "roll.h"

#include <cstdlib>
#include <iostream>

#include "state.h"

void checkroll(MidiFile& inputfile) {
    numtracks = inputfile.getTrackCount();
    if (numtracks != 1) {
        std::cout << "Invalid e-roll, " << numtracks << " tracks" << std::endl;
        std::exit(1);
    }
    inputfile.absoluteTime();
}
