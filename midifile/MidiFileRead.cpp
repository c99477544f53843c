// Loading a Standard MIDI File. Strict about signatures and the header,
// lenient inside a track: a track runs until its end-of-track event or the
// end of the file, and the chunk length only sizes a reservation.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "MidiFile.h"

namespace {

constexpr int64_t kTrackReserve = 10000;
// All reservations of one file together: about a hundred tracks of the usual
// room, or as many events as the file could hold if that is more. A file
// that declares thousands of tracks must not reserve 10,000 events for each.
constexpr int64_t kFileReserve = 1000000;

int toSigned32(uint32_t v) {
    if (v < 0x80000000u) {
        return static_cast<int>(v);
    }
    return -static_cast<int>(~v) - 1;
}

// One byte, or false when the file has none left.
bool readByte(FileIO& in, unsigned char& byte) {
    if (!in.good()) {
        return false;
    }
    in.readBigEndian(byte);
    return in.gcount() == 1;
}

// Appends n bytes, doubling the room when it runs out, so that long meta
// payloads are not copied over and over in steps of a few bytes.
void appendBytes(Array<unsigned char>& data, const unsigned char* bytes, int64_t n) {
    const int64_t needed = data.getSize() + n;
    if (needed > data.getAllocSize()) {
        data.grow(std::max(needed - data.getAllocSize(), data.getAllocSize()));
    }
    const int64_t start = data.getSize();
    data.setSize(needed);
    std::memcpy(data.getBase() + start, bytes, static_cast<size_t>(n));
}

int64_t bytesLeft(FileIO& in, int64_t fileSize) {
    const std::streamoff position = in.tellg();
    if (position < 0 || position > fileSize) {
        return 0;
    }
    return fileSize - position;
}

int64_t fileSizeOf(FileIO& in) {
    const std::streampos start = in.tellg();
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    in.seekg(start);
    return size < 0 ? 0 : size;
}

bool isSysex(const Array<unsigned char>& data) {
    return data.getSize() > 0 && data.getBase()[0] == 0xf0;
}

} // namespace

MidiFile::MidiFile(const char* path) : MidiFile() {
    read(path);
    timeMap.setSize(0);
    timeMapValid = 0;
}

void MidiFile::setFilename(const char* path) {
    if (path == nullptr) {
        return;
    }
    const char* slash = std::strrchr(path, '/');
    const char* name = slash == nullptr ? path : slash + 1;
    const size_t length = std::strlen(name);
    filename.setSize(static_cast<int64_t>(length) + 1);
    std::memcpy(filename.getBase(), name, length);
    filename.getBase()[length] = '\0';
}

const char* MidiFile::getFilename() const {
    return filename.getSize() > 0 ? filename.getBase() : "";
}

int64_t MidiFile::unpackVLV(unsigned char b1, unsigned char b2, unsigned char b3, unsigned char b4,
                            unsigned char b5) {
    if (b5 & 0x80) {
        std::cout << "Error: VLV value was too long" << std::endl;
        std::exit(1);
    }
    const unsigned char bytes[5] = {b1, b2, b3, b4, b5};
    int64_t value = 0;
    for (unsigned char byte : bytes) {
        value = (value << 7) | (byte & 0x7f);
        if (!(byte & 0x80)) {
            break;
        }
    }
    return value;
}

int64_t MidiFile::extractVlvTime(FileIO& in) {
    unsigned char bytes[5] = {0, 0, 0, 0, 0};
    for (unsigned char& byte : bytes) {
        if (!readByte(in, byte) || !(byte & 0x80)) {
            break;
        }
    }
    return unpackVLV(bytes[0], bytes[1], bytes[2], bytes[3], bytes[4]);
}

// At the end of the file the message stops where the bytes run out; the
// caller sees the stream's end-of-file state and drops it.
void MidiFile::extractMidiData(FileIO& in, Array<unsigned char>& data,
                               unsigned char& runningCommand) {
    data.setSize(0);
    data.setAutoGrow(true);

    unsigned char byte = 0;
    if (!readByte(in, byte)) {
        return;
    }
    bool running = false;
    if (byte >= 0x80) {
        runningCommand = byte;
    } else {
        running = true;
        if (runningCommand == 0) {
            std::cout << "Error: running command with no previous command" << std::endl;
            std::exit(1);
        }
    }
    data.append(runningCommand);
    // Under a running system status (F0 to FE) the data byte is consumed but
    // not kept, as a system exclusive body is: written back after the bare
    // status it would be read as a delta time.
    if (running && (runningCommand < 0xf0 || runningCommand == 0xff)) {
        data.append(byte);
    }

    const auto readAppend = [&]() {
        unsigned char next = 0;
        if (!readByte(in, next)) {
            return false;
        }
        data.append(next);
        return true;
    };

    switch (runningCommand & 0xf0) {
    case 0x80:
    case 0x90:
    case 0xa0:
    case 0xb0:
    case 0xe0:
        if (readAppend() && !running) {
            readAppend();
        }
        return;
    case 0xc0:
    case 0xd0:
        if (!running) {
            readAppend();
        }
        return;
    case 0xf0:
        break;
    default: {
        std::cout << "Error reading midifile" << std::endl;
        std::cout << "Command byte was " << static_cast<int>(runningCommand) << std::endl;
        std::exit(1);
    }
    }

    if (runningCommand == 0xf0) {
        unsigned char skipped = 0;
        while (readByte(in, skipped) && skipped != 0xf7) {
        }
        return;
    }
    if (runningCommand != 0xff) {
        return;
    }

    if (!running && !readAppend()) {
        return;
    }
    unsigned char vlv[5] = {0, 0, 0, 0, 0};
    for (unsigned char& b : vlv) {
        if (!readByte(in, b)) {
            return;
        }
        data.append(b);
        if (!(b & 0x80)) {
            break;
        }
    }
    int64_t remaining = unpackVLV(vlv[0], vlv[1], vlv[2], vlv[3], vlv[4]);
    // The length may claim far more than the file holds: read in blocks and
    // stop at the end of the file.
    unsigned char block[4096];
    while (remaining > 0 && in.good()) {
        const int64_t want = std::min<int64_t>(remaining, sizeof(block));
        in.read(reinterpret_cast<char*>(block), static_cast<std::streamsize>(want));
        const int64_t got = in.gcount();
        appendBytes(data, block, got);
        remaining -= got;
    }
}

int MidiFile::read(const char* path) {
    timeMapValid = 0;
    if (path == nullptr) {
        return 0;
    }
    setFilename(path);

    FileIO in(path, static_cast<unsigned int>(std::ios::in | std::ios::binary));
    if (!in.is_open()) {
        return 0;
    }
    const int64_t fileSize = fileSizeOf(in);

    // Kept across both signatures: a signature byte read at the end of the
    // file leaves the previous one in place.
    unsigned char byte = 0;
    const char header[4] = {'M', 'T', 'h', 'd'};
    for (int i = 0; i < 4; i++) {
        const bool got = readByte(in, byte);
        if (got && byte == static_cast<unsigned char>(header[i])) {
            continue;
        }
        std::cout << "File: " << path << " is not a MIDI file" << std::endl;
        if (i == 0) {
            // An empty file has no byte to show.
            std::cout << "Chara data is";
            if (got) {
                std::cout << static_cast<char>(byte);
            }
            std::cout << std::endl;
        }
        return 0;
    }

    // A header cut short leaves its missing fields at 0, and is judged by
    // those values like any other.
    unsigned long headerLength = 0;
    in.readBigEndian(headerLength);
    if (headerLength != 6) {
        std::cout << "File: " << path << " is not a MIDI 1.0 Standard MIDI file." << std::endl;
        std::cout << "The header size is: " << headerLength << std::endl;
        return 0;
    }

    unsigned short type = 0;
    in.readBigEndian(type);
    if (type >= 2) {
        std::cout << "Error: cannot handle type " << type << " MIDI file" << std::endl;
        return 0;
    }

    unsigned short trackCount = 0;
    in.readBigEndian(trackCount);
    if (type == 0 && trackCount != 1) {
        std::cout << "Error: Type 0 MIDI file can only contain one track" << std::endl;
        return 0;
    }

    // Every declared track gets its list, but room is reserved only when its
    // chunk is reached: a short file may declare 65,535 tracks.
    erase();
    releaseTracks();
    events.setSize(trackCount);
    for (int i = 0; i < trackCount; i++) {
        events.getBase()[i] = newTrackList(0, true);
    }

    short division = 0;
    in.readBigEndian(division);
    if (division > 0) {
        ticksPerQuarterNote = division;
    } else {
        const int code = (static_cast<unsigned short>(division) >> 8) & 0xff;
        const int resolution = static_cast<unsigned short>(division) & 0xff;
        int fps = 0;
        switch (code) {
        case 0xe8:
            fps = 24;
            break;
        case 0xe7:
            fps = 25;
            break;
        case 0xe3:
            fps = 29;
            break;
        case 0xe2:
            fps = 30;
            break;
        default:
            std::cerr << "Warning: unknown FPS: " << code << std::endl;
            std::cerr << "Setting FPS to " << 256 - code << std::endl;
            fps = 256 - code;
            break;
        }
        ticksPerQuarterNote = fps * resolution;
        std::cout << "SMPTE ticks: " << ticksPerQuarterNote << " tpq" << std::endl;
        std::cout << "SMPTE frames per second: " << fps << std::endl;
        std::cout << "SMPTE frame resolution: " << resolution << std::endl;
    }

    int64_t budget = std::max(kFileReserve, fileSize / 2);
    unsigned char runningCommand = 0;
    MFEvent event;
    const char chunk[4] = {'M', 'T', 'r', 'k'};
    for (int track = 0; track < trackCount; track++) {
        for (int i = 0; i < 4; i++) {
            readByte(in, byte);
            if (byte == static_cast<unsigned char>(chunk[i])) {
                continue;
            }
            std::cout << "File: " << path << " has bad track info" << std::endl;
            if (i == 0) {
                std::cout << "character 1 is: " << static_cast<char>(byte) << "("
                          << static_cast<int>(byte) << "): expecting 'M'" << std::endl;
                unsigned char next = 0;
                readByte(in, next);
                if (in.eof()) {
                    std::cout << "End of file reached" << std::endl;
                }
            } else {
                std::cout << "character " << i + 1 << " is: " << static_cast<int>(byte)
                          << std::endl;
            }
            return 0;
        }

        unsigned long chunkLength = 0;
        in.readBigEndian(chunkLength);
        // The chunk length cannot be trusted: never reserve more than the rest
        // of the file could hold, nor, while the file's budget lasts, less
        // than the usual room. Bounded so, a reservation can fail only for a
        // file too large for memory, which ends the program like any other
        // allocation failure.
        const int64_t claimed = static_cast<int64_t>(chunkLength & 0xffffffffu);
        const int64_t wanted =
            std::max<int64_t>(kTrackReserve, std::min(claimed, bytesLeft(in, fileSize)) / 2);
        const int64_t reserve = std::min(wanted, budget);
        budget -= reserve;
        SigCollection<MFEvent>& list = *events.getBase()[track];
        list.reserve(reserve);

        uint32_t ticks = 0;
        if (in.eof()) {
            continue;
        }
        while (true) {
            const int64_t delta = extractVlvTime(in);
            extractMidiData(in, event.data, runningCommand);
            // A message cut short by the end of the file is not stored. A
            // system exclusive message runs to the next F7 or the end of the
            // file, so the end completes it.
            const bool atEnd = in.eof();
            if (atEnd && !isSysex(event.data)) {
                break;
            }
            ticks += static_cast<uint32_t>(delta);
            event.time = toSigned32(ticks);
            event.track = track;
            // Past its reservation (a chunk length that understates, or a
            // spent budget) the list doubles its room: regrowing 8 events at
            // a time would make a long track quadratic.
            if (list.getSize() == list.getAllocSize()) {
                list.grow(std::max<int64_t>(list.getAllocSize(), 8));
            }
            list.append(event);
            const Array<unsigned char>& data = event.data;
            if (atEnd ||
                (data.getSize() >= 2 && data.getBase()[0] == 0xff && data.getBase()[1] == 0x2f)) {
                break;
            }
        }
    }

    timeState = 1;
    return 1;
}
