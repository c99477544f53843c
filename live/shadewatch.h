// The swell shades' steps as the interpretation makes them, at the ticks of
// the organ score: the score itself keeps them only in the swell's velocities.
#ifndef VENNOR_LIVE_SHADEWATCH_H
#define VENNOR_LIVE_SHADEWATCH_H

#include <vector>

#include "mapping.h"

// Starts gathering (the shades open at tick 0) through the hole watcher.
void watchshades();

// After the interpretation: every step at its tick.
std::vector<shadesat> watchedshades();

#endif
