// Read-only questions about one event's bytes.
//
// Every question reads the byte count before any byte, so an event without
// bytes answers no (0, or -1 for the readers) and is never touched: indexing
// it could append a garbage byte or end the program.
#include "MFEvent.h"

int MFEvent::isNoteOn() const {
    if (data.getSize() != 3) {
        return 0;
    }
    return (data[0] & 0xF0) == 0x90 && data[2] != 0 ? 1 : 0;
}

int MFEvent::isNoteOff() const {
    if (data.getSize() != 3) {
        return 0;
    }
    int command = data[0] & 0xF0;
    return command == 0x80 || (command == 0x90 && data[2] == 0) ? 1 : 0;
}

int MFEvent::isMeta() const {
    if (data.getSize() < 1) {
        return 0;
    }
    return data[0] == 0xFF && data.getSize() > 2 ? 1 : 0;
}

int MFEvent::isTempo() const {
    // A tempo event is known by its type and total size alone; the length
    // byte is not examined.
    if (data.getSize() != 6) {
        return 0;
    }
    return data[0] == 0xFF && data[1] == 0x51 ? 1 : 0;
}

int MFEvent::isTimbre() const {
    if (data.getSize() < 1) {
        return 0;
    }
    return (data[0] & 0xF0) == 0xC0 && data.getSize() == 2 ? 1 : 0;
}

int MFEvent::getCommandNibble() const {
    if (data.getSize() < 1) {
        return -1;
    }
    return data[0] & 0xF0;
}

int MFEvent::getChannelNibble() const {
    if (data.getSize() < 1) {
        return -1;
    }
    return data[0] & 0x0F;
}

int MFEvent::getTempoMicro() const {
    if (!isTempo()) {
        return -1;
    }
    return data[3] * 65536 + data[4] * 256 + data[5];
}

int MFEvent::getTempoMicroseconds() const {
    return getTempoMicro();
}

// A tempo of 0 microseconds gives infinite rates: floating-point division,
// defined, and left unguarded on purpose.

double MFEvent::getTempoSeconds() const {
    int micro = getTempoMicro();
    if (micro < 0) {
        return -1.0;
    }
    return micro / 1000000.0;
}

double MFEvent::getTempoBPM() const {
    int micro = getTempoMicro();
    if (micro < 0) {
        return -1.0;
    }
    return 6e7 / micro;
}

double MFEvent::getTempoTPS(int tpq) const {
    int micro = getTempoMicro();
    if (micro < 0) {
        return -1.0;
    }
    return tpq * (1000000.0 / micro);
}

double MFEvent::getTempoSPT(int tpq) const {
    int micro = getTempoMicro();
    if (micro < 0) {
        return -1.0;
    }
    return (micro / 1000000.0) / tpq;
}
