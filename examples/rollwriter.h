// Lays a finished score out as an Estey e-roll: one track, the header meta
// events at tick 0, then every hole as a note-on where it opens and a
// note-off where it closes.
#ifndef VENNOR_EXAMPLES_ROLLWRITER_H
#define VENNOR_EXAMPLES_ROLLWRITER_H

#include "MidiFile.h"
#include "score.h"

// Fills an empty score `roll` (absolute ticks afterwards); write it with
// roll.write(). Holes are ordered by tick, closings before openings, so the
// player meets them in the order the arrangement intends.
void buildRoll(const Score& score, MidiFile& roll);

#endif
