// How the organ score reaches another organ: the channels of the three
// divisions, the velocity of their notes, what a registration change sends
// (our bank's program changes, or each stop's own message) and the controller
// that carries the swell shades. Two maps are built in; a map file changes any
// part of one (mapfile.h).
#ifndef VENNOR_LIVE_LIVEMAP_H
#define VENNOR_LIVE_LIVEMAP_H

#include <string>
#include <vector>

#include "stops.h"

enum division { pedaldivision, swelldivision, greatdivision };
const int divisioncount = 3;

// "pedal", "swell", "great".
const char* divisionname(int division);

// The stops a division's registrations use, in the stop table's order
// (stopsOfPrograms).
const std::vector<const OrganStop*>& divisionstops(int division);

// What drawing or retiring one stop sends.
struct stopmessage {
    enum kind { none, note, controller };
    int type = none;
    int channel = 16; // 1 to 16
    int number = 0;   // the note or the controller
    int on = 127;     // a note's velocity, or the controller's value when drawn
    int off = 0;      // the controller's value when retired
};

bool operator==(const stopmessage& a, const stopmessage& b);

enum class registrationmode {
    programs, // the score's program changes, for our bank or combination pistons
    stops,    // each stop's message, sent as differences
    both,
    none
};

struct livemap {
    std::string name;
    int channel[divisioncount] = {1, 2, 3}; // the divisions' notes, 1 to 16
    int velocity = 0;                       // 1 to 127; 0 keeps the score's
    registrationmode registration = registrationmode::programs;
    // Per division, parallel to divisionstops().
    std::vector<stopmessage> stops[divisioncount];
    int shadescontroller = -1;             // -1: the shades send nothing
    int shadeschannel = 0;                 // 1 to 16; 0: the swell's channel
    int shadevalues[4] = {0, 43, 85, 127}; // closed to open
};

// The built-in maps: "score" (the organ score as it is: channels 1 to 3, the
// bank's program changes, the swell's loudness in its velocities) and "stops"
// (stops as notes on channel 16, pedal from note 0, swell from 32, great from
// 64 in the stop table's order; the shades on controller 11 of the swell's
// channel; notes at velocity 100). False for any other name.
bool builtinmap(const std::string& name, livemap& map);

#endif
