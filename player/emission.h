// Notes and program changes into the output score.
#ifndef VENNOR_PLAYER_EMISSION_H
#define VENNOR_PLAYER_EMISSION_H

// Doubles the room of an output track that is full. Called before every
// event added to the output score after its frame, so that long tracks do not
// regrow 8 events at a time.
void makeroom(int track);

// Converts seconds at iptempo to an output tick. False (tick untouched) when
// the value is not a number or lies outside 0 to 2^31 - 1: such events have no
// place in the score.
bool secondstotick(double seconds, int& tick);

// A note-on at start and its note-off at start + length (seconds); channel
// counts from 1. Nothing for velocity 0 or a length under 0.01 s.
void playnote(double start, double length, int pitch, int velocity, int track, int channel);

// Program changes for the swell (track 2, channel 1) and great (track 3,
// channel 2) at the same tick.
void patchchange(double time, int swellprogram, int greatprogram);

#endif
