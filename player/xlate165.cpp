// The organ's key and stop map for Estey rolls (the 165-note Estey roll).
#include "xlate165.h"

#include "emission.h"
#include "score.h"
#include "state.h"
#include "swell.h"

namespace {

// The lowest and highest note holes, the stop controls, the swell holes and
// hole 122 count towards recognising an Estey roll.
bool required(int hole) {
    return (hole >= 1 && hole <= 23) || (hole >= 99 && hole <= 120) || (hole >= 122 && hole <= 125);
}

// Stop-control hole: this control pending, every other one dropped.
void pendstop(int n) {
    loopcount = 0;
    sc1on = n == 1;
    sc2on = n == 2;
    sc3on = n == 3;
    sc4on = n == 4;
    sc5on = n == 5;
    sc6on = n == 6;
}

} // namespace

void xlate165(double start, double length, int hole) {
    if (required(hole)) {
        requirednotecount++;
    }
    if (hole >= 6 && hole <= 120) {
        int pitch = 36 + (hole - 6) / 2;
        if (hole % 2 == 1) {
            playnote(start, length, pitch, swellvel, swelltrack, 2);
        } else if (hole <= 28) {
            playnote(start, length, pitch, generalvel, pedaltrack, 1);
        } else {
            playnote(start, length, pitch, generalvel, greattrack, 3);
        }
        return;
    }
    switch (hole) {
    case 1:
    case 2:
    case 3:
    case 4:
    case 5:
        pendstop(hole);
        break;
    case 125:
        pendstop(6);
        break;
    case 121:
        break;
    case 122:
        playnote(start + 2.0, length, 45, 1, greattrack, 3);
        break;
    case 123:
        swellclose(start);
        break;
    case 124:
        swellopen(start);
        break;
    default:
        outofrangecount++;
        break;
    }
}
