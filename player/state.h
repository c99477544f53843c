// The player's program-wide state: the front end's variables and those of the
// roll interpretation. Everything here starts at the values below when the
// program starts; resetplayerstate() puts it all back (tests, fuzzers and
// benchmarks run several rolls in one process).
#ifndef VENNOR_PLAYER_STATE_H
#define VENNOR_PLAYER_STATE_H

#include <sstream>
#include <string>

#include "Array.h"
#include "MFEvent.h"
#include "MidiFile.h"

// Front end.
extern double iptempo;        // roll tempo in beats per minute (85.0)
extern double optempo;        // output tempo in beats per minute (85.0)
extern double specifiedtempo; // tempo given on the command line (85.0)
extern bool optempovalid;     // a tempo was given on the command line
extern bool iptempovalid;     // the roll's last tempo lay within 10.0 to 200.0
extern bool sc;               // print the registration trace (argument "s")
extern int tpq;               // ticks per quarter note of the roll (192 until read)
extern const char* font;      // SoundFont path; defined per executable in font.cpp
extern int numtracks;         // track count of the roll as read

extern std::ostringstream os_buffer;   // the serialised output score
extern MidiFile outputfile;            // the output score, in absolute ticks
extern Array<unsigned char> midievent; // scratch bytes of channel events
extern Array<unsigned char> mididata;  // scratch bytes of the tempo event
extern std::string description;        // text events of the roll, one at a time
extern std::string title;              // sequence or track names of the roll
extern std::string copyright;          // copyright notices of the roll
extern MFEvent event;                  // the roll event under examination
extern unsigned char* op_buffer;       // heap copy of os_buffer handed to the player
extern std::string result;             // the program's name, "vennoroll"

// Roll interpretation.
extern int shades;            // swell shade position, 0 (closed) to 3 (open)
extern int swell[4];          // swell velocity for each shade position
extern int swellvel;          // velocity of swell notes: swell[shades]
extern int generalvel;        // velocity of pedal and great notes
extern double sopentime;      // opening time of the last swell-open hole
extern double sclosetime;     // opening time of the last swell-close hole
extern double sctol;          // swell holes closer than this (seconds) are together
extern double duration;       // duration of the hole being translated
extern int loopcount;         // closings since the last stop-control hole or plain action
extern bool sopen;            // a swell-open hole waits for a swell-close hole
extern bool sclose;           // a swell-close hole waits for a swell-open hole
extern bool stogether;        // the last pairing of swell holes was together
extern int outofrangecount;   // closings of holes outside 1 to 125
extern int requirednotecount; // closings of required holes

// Stop controls 1 to 6: plain and together toggle counters and the pending flags.
extern int sc1, sc2, sc3, sc4, sc5, sc6;
extern int sc1A, sc2A, sc3A, sc4A, sc5A, sc6A;
extern bool sc1on, sc2on, sc3on, sc4on, sc5on, sc6on;

// Puts every program-wide variable above (and the spool in force, spool.h)
// back to its start-up value, releases op_buffer and restores standard
// output's number format.
void resetplayerstate();

#endif
