// Hole timing: pairs every hole closing with its opening and dispatches it.
#ifndef VENNOR_PLAYER_HOLES_H
#define VENNOR_PLAYER_HOLES_H

#include "Array.h"
#include "MidiFile.h"

const int holecount = 128;
const double idlehole = -1.0; // holestart entry of a hole that is not open

// Makes holestart 128 idle entries and lastendtime 0.0.
void prepareholes(Array<double>& holestart, double& lastendtime);

// Called, when set, at every closing of an open hole after its translation
// and registration step, with the hole and its opening and closing times in
// seconds; after the last event, once for every hole still open, with end
// HUGE_VAL. Null in the player; a program that shows the roll sets it.
extern void (*holewatch)(int hole, double start, double end);

// Walks track 0 of the roll: openings store their time in seconds, closings
// are translated (xlate165) and followed by the registration step. A hole
// number above 127 ends the program with the array's index message.
void walkholes(MidiFile& inputfile, Array<double>& holestart, double& lastendtime);

#endif
