// The output score's frame: 16 tracks, track names, initial programs and the
// program-name text, all at tick 0.
#ifndef VENNOR_PLAYER_SCORE_H
#define VENNOR_PLAYER_SCORE_H

#include "MidiFile.h"

// Output tracks and their MIDI channels.
const int tempotrack = 0;
const int pedaltrack = 1; // channel 0
const int swelltrack = 2; // channel 1
const int greattrack = 3; // channel 2
const int outputtrackcount = 16;

// Lays out outputfile (absolute ticks, 16 tracks, the roll's ticks per quarter
// note, stored in tpq).
void buildscoreframe(MidiFile& inputfile);

#endif
