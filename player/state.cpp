// Program-wide state. The objects with constructors are defined in the order
// in which they must be built at start-up; the scalars are constant-initialised
// before any of them.
#include "state.h"

#include "spool.h"

#include <cstdlib>
#include <iostream>

double iptempo = 85.0;
double optempo = 85.0;
double specifiedtempo = 85.0;
bool optempovalid = false;
bool iptempovalid = false;
bool sc = false;
int tpq = 192;
int numtracks = 0;
unsigned char* op_buffer = nullptr;

int shades = 3;
int swell[4] = {40, 48, 56, 65};
int generalvel = 65;
double sopentime = -1000.0;
double sclosetime = -1000.0;
double sctol = 0.3;
double duration = 0.0;
int loopcount = 0;
bool sopen = false;
bool sclose = false;
bool stogether = false;
int outofrangecount = 0;
int requirednotecount = 0;

int sc1 = 0, sc2 = 0, sc3 = 0, sc4 = 0, sc5 = 0, sc6 = 0;
int sc1A = 0, sc2A = 0, sc3A = 0, sc4A = 0, sc5A = 0, sc6A = 0;
bool sc1on = false, sc2on = false, sc3on = false, sc4on = false, sc5on = false, sc6on = false;

// Start-up order: os_buffer, outputfile, midievent, mididata, description,
// title, copyright, event, swellvel, result.
std::ostringstream os_buffer;
MidiFile outputfile;
Array<unsigned char> midievent;
Array<unsigned char> mididata;
std::string description;
std::string title;
std::string copyright;
MFEvent event;
int swellvel = swell[shades];
std::string result = "vennoroll";

void resetplayerstate() {
    iptempo = 85.0;
    optempo = 85.0;
    specifiedtempo = 85.0;
    optempovalid = false;
    iptempovalid = false;
    sc = false;
    tpq = 192;
    numtracks = 0;
    // Nothing else frees it: each run in one process hands over its own buffer.
    std::free(op_buffer);
    op_buffer = nullptr;

    shades = 3;
    swell[0] = 40;
    swell[1] = 48;
    swell[2] = 56;
    swell[3] = 65;
    generalvel = 65;
    sopentime = -1000.0;
    sclosetime = -1000.0;
    sctol = 0.3;
    duration = 0.0;
    loopcount = 0;
    sopen = false;
    sclose = false;
    stogether = false;
    outofrangecount = 0;
    requirednotecount = 0;
    sc1 = sc2 = sc3 = sc4 = sc5 = sc6 = 0;
    sc1A = sc2A = sc3A = sc4A = sc5A = sc6A = 0;
    sc1on = sc2on = sc3on = sc4on = sc5on = sc6on = false;
    speedup = spool();

    os_buffer.str(std::string());
    os_buffer.clear();
    // A new score is one empty track in delta time with 48 ticks per quarter.
    outputfile.erase();
    outputfile.deltaTime();
    outputfile.setTicksPerQuarterNote(48);
    midievent = Array<unsigned char>();
    mididata = Array<unsigned char>();
    description.clear();
    title.clear();
    copyright.clear();
    event = MFEvent();
    swellvel = swell[shades];
    result = "vennoroll";

    // The header scan leaves standard output in fixed notation.
    std::cout.flags(std::ios::dec | std::ios::skipws);
    std::cout.precision(6);
}
