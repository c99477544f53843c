// Notes and program changes into the output score, at the roll's ticks.
#include "emission.h"

#include <climits>

#include "score.h"
#include "state.h"

// Past the 10,000 events reserved by addTrack a list regrows 8 at a time,
// copying every event; doubling the room keeps long rolls linear.
void makeroom(int track) {
    const int count = outputfile.getNumEvents(track);
    if (count > 0 && count >= outputfile.getEventCapacity(track)) {
        outputfile.allocateEvents(track, count > INT_MAX / 2 ? INT_MAX : 2 * count);
    }
}

bool secondstotick(double seconds, int& tick) {
    double value = ((seconds * static_cast<double>(tpq)) * iptempo) / 60.0;
    // Also false for NaN, which fails every comparison.
    if (!(value >= 0.0 && value < 2147483648.0)) {
        return false;
    }
    tick = static_cast<int>(value);
    return true;
}

void playnote(double start, double length, int pitch, int velocity, int track, int channel) {
    if (velocity == 0 || length < 0.01) {
        return;
    }
    int ontick = 0;
    int offtick = 0;
    // A note goes in whole or not at all: a note-on without its note-off would
    // sound for ever, and the player would never finish.
    if (!secondstotick(start, ontick) || !secondstotick(start + length, offtick)) {
        return;
    }
    // Where one tick lasts 10 ms or more, the end can truncate onto the start
    // tick; the sort would then put the note-off first. One tick later keeps
    // the note finite.
    if (offtick <= ontick) {
        if (ontick == 2147483647) {
            return;
        }
        offtick = ontick + 1;
    }
    int status = (channel - 1) & 0x0F;
    midievent.setSize(3);
    midievent[0] = 0x90 | status;
    midievent[1] = pitch;
    midievent[2] = velocity;
    makeroom(track);
    outputfile.addEvent(track, ontick, midievent);
    midievent[0] = 0x80 | status;
    makeroom(track);
    outputfile.addEvent(track, offtick, midievent);
}

void patchchange(double time, int swellprogram, int greatprogram) {
    int tick = 0;
    // An untimed change (a time that is not a number, or before the roll) has
    // no place in the score.
    if (!secondstotick(time, tick)) {
        return;
    }
    midievent.setSize(2);
    midievent[0] = 0xC1;
    midievent[1] = swellprogram;
    makeroom(swelltrack);
    outputfile.addEvent(swelltrack, tick, midievent);
    midievent[0] = 0xC2;
    midievent[1] = greatprogram;
    makeroom(greattrack);
    outputfile.addEvent(greattrack, tick, midievent);
}
