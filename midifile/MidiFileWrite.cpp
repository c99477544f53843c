// Serialising a score as a Standard MIDI File. Every track is assembled in
// memory first, because a chunk's length comes before its body.
#include <cstdlib>
#include <fstream>
#include <iostream>

#include "MidiFile.h"

namespace {

constexpr int64_t kTrackBufferBytes = 1000000;

void putByte(std::ostream& out, int byte) {
    out.put(static_cast<char>(byte & 0xff));
}

// The reader keeps a system exclusive message as F0 alone; a caller may add F0
// with a few data bytes. Written back bare, F0 makes any reader swallow the
// rest of the track: this one skips to the next F7, others take the next byte
// for a length.
bool isUnterminatedSysex(const Array<unsigned char>& data) {
    const int64_t n = data.getSize();
    return n > 0 && data.getBase()[0] == 0xf0 && data.getBase()[n - 1] != 0xf7;
}

} // namespace

// Five 7-bit groups, so values of 2^28 and more take one byte more than a
// Standard MIDI File allows; the reader accepts that.
void MidiFile::writeVLValue(long value, Array<unsigned char>& out) {
    const unsigned long bits = static_cast<unsigned long>(value);
    unsigned char groups[5];
    for (int i = 0; i < 5; i++) {
        groups[i] = static_cast<unsigned char>((bits >> (7 * (4 - i))) & 0x7f);
    }
    int start = 0;
    while (start < 4 && groups[start] == 0) {
        start++;
    }
    for (int i = start; i < 5; i++) {
        out.append(static_cast<unsigned char>(i < 4 ? groups[i] | 0x80 : groups[i]));
    }
}

int MidiFile::write(std::ostream& out) {
    const int oldTimeState = timeState;
    if (oldTimeState == 1) {
        deltaTime();
    }

    const int trackCount = getTrackCount();
    const int format = trackCount == 1 ? 0 : 1;
    for (int byte : {int('M'), int('T'), int('h'), int('d'), 0, 0, 0, 6, 0, format, trackCount >> 8,
                     trackCount, ticksPerQuarterNote >> 8, ticksPerQuarterNote}) {
        putByte(out, byte);
    }

    Array<unsigned char> trackdata;
    for (int track = 0; track < trackCount; track++) {
        if (trackdata.getAllocSize() < kTrackBufferBytes) {
            trackdata.setAllocSize(kTrackBufferBytes);
        }
        trackdata.setGrowth(kTrackBufferBytes);
        trackdata.setSize(0);
        trackdata.setAutoGrow(true);

        const SigCollection<MFEvent>& list = *events.getBase()[track];
        const MFEvent* e = list.getBase();
        for (int64_t i = 0; i < list.getSize(); i++) {
            writeVLValue(e[i].time, trackdata);
            if (isUnterminatedSysex(e[i].data)) {
                // The empty message: read back here as F0, elsewhere as nothing.
                for (unsigned char byte : {0xf0, 0x01, 0xf7}) {
                    trackdata.append(byte);
                }
                continue;
            }
            const unsigned char* bytes = e[i].data.getBase();
            for (int64_t j = 0; j < e[i].data.getSize(); j++) {
                trackdata.append(bytes[j]);
            }
        }

        // The body needs no end-of-track event when its last three bytes are
        // FF 2F xx and they are the whole of the last event. A payload or a
        // delta time that merely ends in those bytes would otherwise leave the
        // track unterminated, and a reader would read on into the next chunk.
        const int64_t count = list.getSize();
        const Array<unsigned char>* last = count > 0 ? &e[count - 1].data : nullptr;
        const bool ended = last != nullptr && last->getSize() == 3 && last->getBase()[0] == 0xff &&
                           last->getBase()[1] == 0x2f;
        if (!ended) {
            for (unsigned char byte : {0x00, 0xff, 0x2f, 0x00}) {
                trackdata.append(byte);
            }
        }

        const uint32_t length = static_cast<uint32_t>(trackdata.getSize());
        putByte(out, 'M');
        putByte(out, 'T');
        putByte(out, 'r');
        putByte(out, 'k');
        putByte(out, static_cast<int>(length >> 24));
        putByte(out, static_cast<int>(length >> 16));
        putByte(out, static_cast<int>(length >> 8));
        putByte(out, static_cast<int>(length));
        out.write(reinterpret_cast<const char*>(trackdata.getBase()),
                  static_cast<std::streamsize>(trackdata.getSize()));
    }

    if (oldTimeState == 1) {
        absoluteTime();
    }
    return 1;
}

int MidiFile::write(const char* path) {
    std::ofstream out;
    if (path != nullptr) {
        out.open(path, std::ios::out | std::ios::binary | std::ios::trunc);
    }
    if (!out.is_open()) {
        std::cout << "Error: could not write: " << (path != nullptr ? path : "") << std::endl;
        std::exit(1);
    }
    write(out);
    out.close();
    return 1;
}
