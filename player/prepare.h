// The run sequence from reading the roll to the playing-time line: the part
// the player, the renderer and every tool that prepares a roll share. Each
// step is its own function so that the unit tests, the fuzz target and the
// benchmarks call the very steps the player runs.
#ifndef VENNOR_PLAYER_PREPARE_H
#define VENNOR_PLAYER_PREPARE_H

#include <cstddef>
#include <string>

#include "MidiFile.h"
#include "spool.h"

// Step 1: reads the roll at rollpath into an empty inputfile and checks it
// (checkroll). The reader and the check end the program on a bad file.
void readroll(const char* rollpath, MidiFile& inputfile);

// Step 2: builds the output score from the checked roll: frame, header pass
// (texts, tempo) and the hole walk. Returns lastendtime, the last closing in
// seconds at the roll's tempo.
double interpretroll(MidiFile& inputfile);

// Step 3: refuses a roll that was no Estey e-roll ("Invalid estey e-roll",
// status 1), serialises the output score into op_string and prints the
// playing time. Returns op_size, the serialised length rounded up to a
// multiple of 8.
size_t serialiseroll(double lastendtime, std::string& op_string);

// The three steps in order, on the roll at rollpath, with the spool's
// speed-up (spoolspeedup) between the second and the third.
size_t preparescore(const char* rollpath, std::string& op_string, const spool& s = spool());

#endif
