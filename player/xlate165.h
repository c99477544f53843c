// The organ's key and stop map for Estey rolls.
#ifndef VENNOR_PLAYER_XLATE165_H
#define VENNOR_PLAYER_XLATE165_H

// Turns one closed hole into notes, a pending stop control or a swell step,
// and keeps requirednotecount and outofrangecount.
void xlate165(double start, double length, int hole);

#endif
