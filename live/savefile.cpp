#include "savefile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>

bool savestream(MidiFile& score, const std::vector<livemessage>& stream, const std::string& path,
                std::string& error) {
    MidiFile saved;
    saved.absoluteTime();
    saved.setTicksPerQuarterNote(score.getTicksPerQuarterNote());
    std::vector<MFEvent*> tempoevents;
    for (int track = 0; track < score.getTrackCount(); track++) {
        for (int i = 0; i < score.getNumEvents(track); i++) {
            if (score.getEvent(track, i).isTempo()) {
                tempoevents.push_back(&score.getEvent(track, i));
            }
        }
    }
    std::stable_sort(tempoevents.begin(), tempoevents.end(),
                     [](const MFEvent* a, const MFEvent* b) { return a->time < b->time; });
    // A tempo goes before the messages of its tick: the writer keeps list order.
    size_t next = 0;
    Array<unsigned char> bytes;
    for (const livemessage& m : stream) {
        for (; next < tempoevents.size() && tempoevents[next]->time <= m.tick; next++) {
            saved.addEvent(0, tempoevents[next]->time, tempoevents[next]->data);
        }
        bytes.setSize(m.size);
        for (int i = 0; i < m.size; i++) {
            bytes[i] = m.bytes[i];
        }
        saved.addEvent(0, static_cast<int>(m.tick), bytes);
    }
    // Already in time order; a sort would move messages of one tick past
    // each other.
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (out.is_open()) {
        saved.write(out);
        out.close();
    }
    if (!out) {
        error = "Cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}
