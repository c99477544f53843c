// Event questions asked of a score by (track, index), and the text dump.
#include <cstdio>
#include <ostream>
#include <string>

#include "MidiFile.h"

// The (track, index) forms go through getEvent, so a bad track or index ends
// the program with the index message, and one past the end appends a default
// event (which, having no bytes, answers no).

int MidiFile::isNoteOn(int track, int index) {
    return getEvent(track, index).isNoteOn();
}

int MidiFile::isNoteOff(int track, int index) {
    return getEvent(track, index).isNoteOff();
}

int MidiFile::isMeta(int track, int index) {
    return getEvent(track, index).isMeta();
}

int MidiFile::isTempo(int track, int index) {
    return getEvent(track, index).isTempo();
}

int MidiFile::isTimbre(int track, int index) {
    return getEvent(track, index).isTimbre();
}

int MidiFile::getCommandNibble(int track, int index) {
    return getEvent(track, index).getCommandNibble();
}

int MidiFile::getChannelNibble(int track, int index) {
    return getEvent(track, index).getChannelNibble();
}

int MidiFile::getTempoMicro(int track, int index) {
    return getEvent(track, index).getTempoMicro();
}

int MidiFile::getTempoMicroseconds(int track, int index) {
    return getEvent(track, index).getTempoMicroseconds();
}

double MidiFile::getTempoSeconds(int track, int index) {
    return getEvent(track, index).getTempoSeconds();
}

double MidiFile::getTempoBPM(int track, int index) {
    return getEvent(track, index).getTempoBPM();
}

double MidiFile::getTempoTPS(int track, int index) {
    return getEvent(track, index).getTempoTPS(ticksPerQuarterNote);
}

double MidiFile::getTempoSPT(int track, int index) {
    return getEvent(track, index).getTempoSPT(ticksPerQuarterNote);
}

namespace {

// Numbers go through to_string so that whatever base or notation the caller
// left on the stream, the dump stays decimal.
void writeDecimal(std::ostream& out, long long value) {
    out << std::to_string(value);
}

void writeHexByte(std::ostream& out, unsigned char value) {
    char text[4];
    std::snprintf(text, sizeof text, "%x", value);
    out << text;
}

const char* textLabel(unsigned char type) {
    switch (type) {
    case 1:
        return "TEXT [";
    case 2:
        return "COPY [";
    case 3:
        return "TRACK [";
    case 4:
        return "INSTR [";
    case 5:
        return "LYRIC [";
    default:
        return nullptr;
    }
}

void writeEventLine(std::ostream& out, const MFEvent& event) {
    const Array<unsigned char>& bytes = event.data;
    const int size = static_cast<int>(bytes.getSize());
    writeDecimal(out, event.time);
    out << '\t';
    // An event without bytes has nothing to show after its time; reading its
    // byte 0 could append garbage or end the program.
    if (size < 1) {
        out << '\n';
        return;
    }
    out << "0x";
    writeHexByte(out, bytes[0]);
    out << ' ';
    const char* label = size >= 2 && bytes[0] == 0xFF ? textLabel(bytes[1]) : nullptr;
    if (label != nullptr) {
        // Assumes a one-byte length, as the dump always has.
        out << label;
        for (int i = 3; i < size; i++) {
            out.put(static_cast<char>(bytes[i]));
        }
        out << ']';
    } else {
        for (int i = 1; i < size; i++) {
            writeDecimal(out, bytes[i]);
            out << ' ';
        }
    }
    out << '\n';
}

} // namespace

std::ostream& operator<<(std::ostream& out, MidiFile& score) {
    out << "++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++\n";
    out << "Number of Tracks: ";
    writeDecimal(out, score.getTrackCount());
    out << '\n';
    out << "Time method: ";
    writeDecimal(out, score.timeState);
    if (score.timeState == 1) {
        out << " (Absolute timing)";
    } else if (score.timeState == 0) {
        out << " (Delta timing)";
    } else {
        out << " (unknown method)";
    }
    out << '\n';
    out << "Divisions per Quarter Note: ";
    writeDecimal(out, score.ticksPerQuarterNote);
    out << '\n';
    for (int track = 0; track < score.getTrackCount(); track++) {
        out << "\nTrack ";
        writeDecimal(out, track);
        out << "   +++++++++++++++++++++++++++++++++++++++++++++++++++\n\n";
        const SigCollection<MFEvent>& list = *score.events[track];
        const int count = static_cast<int>(list.getSize());
        for (int i = 0; i < count; i++) {
            writeEventLine(out, list[i]);
        }
    }
    out << "+++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++\n\n";
    return out;
}
