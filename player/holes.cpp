// Hole timing: only closings drive the organ; an opening just notes its time.
#include "holes.h"

#include <cmath>

#include "registration.h"
#include "state.h"
#include "xlate165.h"

void (*holewatch)(int hole, double start, double end) = nullptr;

void prepareholes(Array<double>& holestart, double& lastendtime) {
    holestart.setSize(holecount);
    for (int i = 0; i < holecount; i++) {
        holestart[i] = idlehole;
    }
    lastendtime = 0.0;
}

void walkholes(MidiFile& inputfile, Array<double>& holestart, double& lastendtime) {
    double ticks = inputfile.getTicksPerQuarterNote();
    for (int i = 0; i < inputfile.getNumEvents(0); i++) {
        MFEvent& ev = inputfile.getEvent(0, i);
        // A note event cut short by the end of the file is no hole event.
        if (ev.data.getSize() < 3) {
            continue;
        }
        int kind = ev.data[0] & 0xF0;
        int hole = ev.data[1];
        int velocity = ev.data[2];
        double tick = ev.time;
        if (kind == 0x90 && velocity != 0) {
            holestart[hole] = ((tick * 60.0) / iptempo) / ticks;
            continue;
        }
        if (kind != 0x80 && kind != 0x90) {
            continue;
        }
        // A closing of a hole that is not open has no opening time: it is
        // ignored entirely, counted nowhere and timed nowhere.
        if (holestart[hole] == idlehole) {
            continue;
        }
        double end = ((tick * 60.0) / ticks) / iptempo;
        lastendtime = end;
        duration = end - holestart[hole];
        xlate165(holestart[hole], duration, hole);
        loopcount++;
        if (stoppending()) {
            registerstops(holestart[hole]);
        }
        if (holewatch != nullptr) {
            holewatch(hole, holestart[hole], end);
        }
        holestart[hole] = idlehole;
    }
    for (int hole = 0; holewatch != nullptr && hole < holecount; hole++) {
        if (holestart[hole] != idlehole) {
            holewatch(hole, holestart[hole], HUGE_VAL);
        }
    }
}
