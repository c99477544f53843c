// Whether the roll was an Estey e-roll at all.
#ifndef VENNOR_PLAYER_VALIDATE_H
#define VENNOR_PLAYER_VALIDATE_H

// True when at most 2 out-of-range and at least 10 required closings were seen.
bool rollisvalid();

// Prints "Invalid estey e-roll" and exits with status 1 unless rollisvalid().
void validateroll();

#endif
