// Stop registration: pending stop controls become program changes.
#ifndef VENNOR_PLAYER_REGISTRATION_H
#define VENNOR_PLAYER_REGISTRATION_H

// True while one of sc1on to sc6on is set.
bool stoppending();

// The registration step after a closing, with t the opening time of the
// closed hole: together or plain action of the pending stop control, with the
// trace line when sc is set.
void registerstops(double t);

#endif
