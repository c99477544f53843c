// The roll's header texts and tempo, and the output tempo.
#include "header.h"

#include <iomanip>
#include <iostream>
#include <string>

#include "emission.h"
#include "score.h"
#include "state.h"

void (*textwatch)(int type, const std::string& text) = nullptr;

namespace {

// Index of the first data byte of a meta event: after FF, the type and the
// variable-length length field. May lie past the end of a malformed event.
int metadatastart(const MFEvent& ev) {
    int size = static_cast<int>(ev.data.getSize());
    int p = 2;
    while (p < size && (ev.data[p] & 0x80) != 0) {
        p++;
    }
    return p + 1;
}

// Collects the data bytes into text, copies them (up to a zero byte) into the
// output score at tick 0, prints the line and empties the collector.
void copytext(std::string& text, int track, int type, const char* label) {
    int size = static_cast<int>(event.data.getSize());
    for (int p = metadatastart(event); p < size; p++) {
        text.push_back(static_cast<char>(event.data[p]));
    }
    makeroom(track);
    outputfile.addMetaEvent(track, 0, type, text.c_str());
    std::cout << label << text << std::endl;
    if (textwatch != nullptr) {
        textwatch(type, text);
    }
    text.clear();
}

void readtempo() {
    // A tempo event needs its three data bytes; a shorter one is passed over.
    if (event.data.getSize() < 6) {
        return;
    }
    int micro = event.data[3] * 65536 + event.data[4] * 256 + event.data[5];
    double bpm = (1000000.0 / micro) * 60.0;
    // A tempo of 0 microseconds is printed (as inf) and refused, but it would
    // make every time infinite, so the conversion tempo keeps its last value.
    if (micro != 0) {
        iptempo = bpm;
    }
    std::cout << "Input tempo: " << std::fixed << std::setprecision(1) << bpm << std::endl;
    iptempovalid = true;
    if (bpm < 10.0 || bpm > 200.0) {
        std::cout << "out of range iptempo, not used" << std::endl;
        iptempovalid = false;
    }
}

} // namespace

void scanheader(MidiFile& inputfile) {
    for (int i = 0; i < inputfile.getNumEvents(0); i++) {
        event = inputfile.getEvent(0, i);
        if (event.data.getSize() <= 3 || event.data[0] != 0xFF) {
            continue;
        }
        switch (event.data[1]) {
        case 0x02:
            copytext(copyright, tempotrack, 2, "Copyright: ");
            break;
        case 0x51:
            readtempo();
            break;
        case 0x03:
            copytext(title, tempotrack, 3, "Title: ");
            break;
        case 0x01:
            copytext(description, pedaltrack, 1, "");
            break;
        default:
            break;
        }
    }
}

void choosetempo() {
    if (iptempovalid) {
        optempo = iptempo;
    }
    if (optempovalid) {
        optempo = specifiedtempo;
    }
}

int tempomicroseconds(double bpm) {
    // optempo always lies within 10.0 to 200.0 here; anything else (a caller
    // that set it by hand) is kept inside the 24 bits of a tempo event.
    double micro = 60.0 / bpm * 1000000.0 + 0.5;
    if (!(micro >= 0.0)) {
        return 0;
    }
    if (micro > 16777215.0) {
        return 16777215;
    }
    return static_cast<int>(micro);
}

void addtempoevent() {
    addtempoat(0, tempomicroseconds(optempo));
}

void addtempoat(int tick, int micro) {
    mididata.setSize(6);
    mididata[0] = 0xFF;
    mididata[1] = 0x51;
    mididata[2] = 0x03;
    mididata[3] = (micro >> 16) & 0xFF;
    mididata[4] = (micro >> 8) & 0xFF;
    mididata[5] = micro & 0xFF;
    outputfile.addEvent(tempotrack, tick, mididata);
}

void headerpass(MidiFile& inputfile) {
    scanheader(inputfile);
    choosetempo();
    addtempoevent();
}
