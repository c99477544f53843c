// Synthetic Estey e-rolls of any length, for benchmarks and the long-roll
// tests: one track of hole openings and closings that the player accepts.
#ifndef VENNOR_BENCH_ROLLGEN_H
#define VENNOR_BENCH_ROLLGEN_H

#include <string>

// The bytes of a format 0 Standard MIDI File at 192 ticks per quarter note
// and 85 beats per minute: a title, a tempo event, then holeevents hole
// events (rounded up to an even count), each hole closing 30 ticks after it
// opened and the next opening 10 ticks later. Mostly note holes of all three
// divisions, with stop-control and swell-shade holes mixed in.
std::string makeroll(int holeevents);

// Writes makeroll(holeevents) to path; false when the file cannot be written.
bool writeroll(const std::string& path, int holeevents);

#endif
