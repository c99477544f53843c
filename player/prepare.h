// The run sequence from reading the roll to the playing-time line: the part
// the player, the renderer and every tool that prepares a roll share.
#ifndef VENNOR_PLAYER_PREPARE_H
#define VENNOR_PLAYER_PREPARE_H

#include <cstddef>
#include <string>

// Reads and checks the roll at rollpath, builds the output score, interprets
// the holes, validates, serialises into op_string and prints the playing time.
// Returns op_size, the serialised length rounded up to a multiple of 8. Ends
// the program with the usual messages on a bad roll.
size_t preparescore(const char* rollpath, std::string& op_string);

#endif
