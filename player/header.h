// The roll's header texts and tempo, and the output tempo.
#ifndef VENNOR_PLAYER_HEADER_H
#define VENNOR_PLAYER_HEADER_H

#include <string>

#include "MidiFile.h"

// Called, when set, with every header text as it is copied: its meta type
// (1 text, 2 copyright, 3 title) and its words. Null in the player.
extern void (*textwatch)(int type, const std::string& text);

// One pass over track 0: prints and copies copyright, title and text events,
// prints every tempo event and sets iptempo and iptempovalid.
void scanheader(MidiFile& inputfile);

// Picks optempo: the command-line tempo, else the roll's valid tempo, else 85.0.
void choosetempo();

// Microseconds per quarter note of a tempo, rounded half up.
int tempomicroseconds(double bpm);

// Adds the output tempo event (from optempo) to track 0 at tick 0.
void addtempoevent();

// Adds a tempo event of `micro` microseconds a quarter note to track 0 at tick.
void addtempoat(int tick, int micro);

// scanheader, choosetempo and addtempoevent, in that order.
void headerpass(MidiFile& inputfile);

#endif
