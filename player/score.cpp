// The output score's frame.
#include "score.h"

#include "state.h"

void buildscoreframe(MidiFile& inputfile) {
    outputfile.absoluteTime();
    outputfile.addTrack(outputtrackcount - 1);
    tpq = inputfile.getTicksPerQuarterNote();
    outputfile.setTicksPerQuarterNote(tpq);

    outputfile.addMetaEvent(pedaltrack, 0, 3, "Pedal");
    outputfile.addMetaEvent(swelltrack, 0, 3, "sc1swell");
    outputfile.addMetaEvent(greattrack, 0, 3, "sc2great");

    midievent.setSize(2);
    midievent[0] = 0xC0;
    midievent[1] = 0;
    outputfile.addEvent(pedaltrack, 0, midievent);
    midievent[0] = 0xC1;
    midievent[1] = 10;
    outputfile.addEvent(swelltrack, 0, midievent);
    midievent[0] = 0xC2;
    midievent[1] = 70;
    outputfile.addEvent(greattrack, 0, midievent);

    outputfile.addMetaEvent(pedaltrack, 0, 1, result.c_str());
}
