// Acceptance of the roll once the reader has loaded it.
#ifndef VENNOR_PLAYER_ROLL_H
#define VENNOR_PLAYER_ROLL_H

#include "MidiFile.h"

// Stores the track count in numtracks, refuses a roll without exactly one
// track ("Invalid e-roll, N tracks", status 1) and puts it in absolute ticks.
void checkroll(MidiFile& inputfile);

#endif
