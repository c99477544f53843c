// Stop registration: pending stop controls become program changes.
#ifndef VENNOR_PLAYER_REGISTRATION_H
#define VENNOR_PLAYER_REGISTRATION_H

// Called, when set, at every stop-control action with its time, its stop
// control (1 to 6), whether it acted together with the swell shades, its
// counter (1 or 2) and the swell program it selected (the great's is 60 more).
// Null in the player; a program that shows the roll sets it.
extern void (*stopwatch)(double t, int n, bool together, int count, int swellprogram);

// True while one of sc1on to sc6on is set.
bool stoppending();

// The registration step after a closing, with t the opening time of the
// closed hole: together or plain action of the pending stop control, with the
// trace line when sc is set.
void registerstops(double t);

#endif
