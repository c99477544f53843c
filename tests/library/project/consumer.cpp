// `consumer write FILE` writes a two-track score with a GM reset;
// `consumer notes FILE` prints the keys of track 1's note-ons.
#include <cstring>
#include <iostream>

#include <vennor/midifile/MidiFile.h>

int main(int argc, char** argv) {
    if (argc != 3) {
        return 2;
    }
    MidiFile score;
    if (std::strcmp(argv[1], "write") == 0) {
        score.addTrack();
        score.absoluteTime();
        Array<unsigned char> bytes;
        bytes.setSize(1);
        bytes[0] = 0xf0;
        score.addEvent(0, 0, bytes);
        score.addMetaEvent(0, 0, 0x03, "Conductor");
        bytes.setSize(3);
        for (int key : {60, 64}) {
            bytes[0] = 0x90;
            bytes[1] = static_cast<unsigned char>(key);
            bytes[2] = 64;
            score.addEvent(1, 0, bytes);
            bytes[0] = 0x80;
            score.addEvent(1, 96, bytes);
        }
        score.sortTracks();
        return score.write(argv[2]) == 1 ? 0 : 1;
    }
    if (score.read(argv[2]) != 1 || score.getTrackCount() != 2) {
        return 1;
    }
    for (int i = 0; i < score.getNumEvents(1); i++) {
        if (score.getEvent(1, i).isNoteOn()) {
            std::cout << static_cast<int>(score.getEvent(1, i).data[1]) << ' ';
        }
    }
    std::cout << std::endl;
    return 0;
}
