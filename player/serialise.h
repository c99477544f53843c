// The output score into memory, the playing time and the player's buffer.
#ifndef VENNOR_PLAYER_SERIALISE_H
#define VENNOR_PLAYER_SERIALISE_H

#include <cstddef>
#include <string>

// Sorts outputfile's tracks, writes it into os_buffer, copies that into
// op_string and rounds its length up to a multiple of 8 into op_size.
void serialisescore(std::string& op_string, size_t& op_size);

// Whole seconds of playing at the output tempo (with the spool's speed-up in
// force), never negative, never overflowing.
long long playingseconds(double lastendtime);

// Prints "Playing time: M minutes S seconds".
void printplayingtime(double lastendtime);

// Allocates op_buffer with op_size bytes: op_string, then zero filler. On
// failure writes "op_buffer allocation failed" to standard error, status 1.
void fillopbuffer(const std::string& op_string, size_t op_size);

#endif
