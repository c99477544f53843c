// The take-up spool's speed-up. A roll player's take-up spool turns at a
// steady rate, and the paper wound onto it makes it thicker, so the paper
// moves faster as the roll plays: after L metres of paper of thickness t on a
// spool of empty diameter d, its speed has grown by sqrt(1 + 4 L t / (pi d^2)).
// A scan of the roll, taken at a constant paper speed, plays too evenly; this
// step gives the organ score the speed-up back. The score's ticks stay the
// paper's positions; only its tempo map follows the spool.
#ifndef VENNOR_PLAYER_SPOOL_H
#define VENNOR_PLAYER_SPOOL_H

// Off by default. The defaults are estimates, not measurements of an Estey
// player: roll paper is about a tenth of a millimetre thick, and a take-up
// spool of 100 mm makes a roll of half an hour end about 30 % faster than it
// began (60 beats a minute become about 78).
struct spool {
    bool on = false;
    double diameter = 100.0; // of the empty take-up spool, in millimetres
    double thickness = 0.1;  // of the paper, in millimetres
};

// The paper's speed at the roll's own tempo, in metres a second: an estimate
// (five feet a minute) that ties the roll's ticks to lengths of paper. At
// another tempo the paper moves faster or slower in proportion.
const double spoolpaperspeed = 0.0254;

// The spool whose speed-up outputfile carries; off until spoolspeedup adds
// one. resetplayerstate() turns it off again.
extern spool speedup;

// The step between interpretroll and serialiseroll: records s as the spool
// in force and, when it is on, adds tempo events to track 0 of outputfile, as
// few as keep every tick within half a tick of the time the spool's law
// gives it (the demo roll: nine). Uses iptempo, optempo and tpq as the header
// pass left them; the ticks of every event stay as they were.
void spoolspeedup(const spool& s);

// How fast the speed-up grows, per second, for the spool in force at the
// tempo played: the tempo is (1 + rate * t / 2) times the tempo played after
// t seconds of playing. 0 when the spool is off.
double spoolrate();

// With a speed-up growing at `rate` (spoolrate): the seconds of playing until
// the paper at `paper` seconds from the start (at the tempo played, without
// the speed-up) reaches the tracker bar, and back. Both give their argument
// back unchanged for a rate of 0, and for times before the start.
double spoolplayed(double rate, double paper);
double spoolpaper(double rate, double played);

// One option of the speed-up, as the programs that play a roll beside the
// player take it: --speed-up, --spool-diameter=MM (20 to 500) or
// --paper-thickness=MM (0.01 to 1), each turning it on. False for any other
// word; a value that is no number or out of range ends the program with its
// one line and status 1.
bool spooloption(const char* word, spool& s);

// With the speed-up on: "Speed-up: ..." with the spool, the paper and the
// tempo at the start and at the end of the output score.
void printspeedup();

#endif
