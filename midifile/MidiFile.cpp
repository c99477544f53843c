// The score: its track table, adding tracks and events, the two time states
// and the order of events inside a track.
#include "MidiFile.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <iostream>
#include <vector>

namespace {

// Two's-complement view of a 32-bit pattern, without relying on the
// implementation-defined narrowing conversion.
int toSigned32(uint32_t v) {
    if (v < 0x80000000u) {
        return static_cast<int>(v);
    }
    return -static_cast<int>(~v) - 1;
}

int firstByte(const MFEvent& e) {
    return e.data.getSize() > 0 ? e.data.getBase()[0] : 0;
}

int secondByte(const MFEvent& e) {
    return e.data.getSize() > 1 ? e.data.getBase()[1] : 0;
}

bool isMetaEvent(const MFEvent& e) {
    return firstByte(e) == 0xff;
}

bool isEndOfTrack(const MFEvent& e) {
    return isMetaEvent(e) && secondByte(e) == 0x2f;
}

int statusNibble(const MFEvent& e) {
    return firstByte(e) & 0xf0;
}

// Place of an event among the others of its tick. A total order that agrees
// with every ordered pair of eventcompare; equal ranks keep insertion order.
int tickRank(const MFEvent& e) {
    if (isEndOfTrack(e)) {
        return 4;
    }
    if (isMetaEvent(e)) {
        return 3;
    }
    const int nibble = statusNibble(e);
    if (nibble == 0x90) {
        return 2;
    }
    if (nibble == 0x80 || nibble == 0xe0) {
        return 0;
    }
    return 1;
}

} // namespace

// An event without bytes is treated as having first byte 0: it is neither a
// meta event nor a note, so it ties with the channel messages.
int eventcompare(const void* a, const void* b) {
    const MFEvent& x = *static_cast<const MFEvent*>(a);
    const MFEvent& y = *static_cast<const MFEvent*>(b);
    if (x.time > y.time) {
        return 1;
    }
    if (x.time < y.time) {
        return -1;
    }
    if (isMetaEvent(x) && !isMetaEvent(y)) {
        return 1;
    }
    if (isMetaEvent(y) && !isMetaEvent(x)) {
        return -1;
    }
    if (isEndOfTrack(y)) {
        return -1;
    }
    if (isEndOfTrack(x)) {
        return 1;
    }
    const int nx = statusNibble(x);
    const int ny = statusNibble(y);
    if (nx == 0xe0 && ny == 0x90) {
        return -1;
    }
    if (nx == 0x90 && ny == 0xe0) {
        return 1;
    }
    if (nx == 0x90 && ny == 0x80) {
        return 1;
    }
    if (nx == 0x80 && ny == 0x90) {
        return -1;
    }
    return 0;
}

MidiFile::MidiFile() {
    events.setGrowth(8);
    events.setSize(1);
    events[0] = newTrackList(0, true);
    filename.setGrowth(4);
    filename.setAllocSize(4);
    filename.setSize(0);
    timeMap.setGrowth(4);
    timeMap.setAllocSize(4);
    timeMap.setSize(0);
}

MidiFile::~MidiFile() {
    releaseTracks();
}

SigCollection<MFEvent>* MidiFile::newTrackList(int64_t reserve, bool grows) {
    auto* list = new SigCollection<MFEvent>();
    list->setGrowth(8);
    if (reserve > 0) {
        list->reserve(reserve);
    }
    list->setAutoGrow(grows);
    return list;
}

void MidiFile::releaseTracks() {
    for (int64_t i = 0; i < events.getSize(); i++) {
        delete events.getBase()[i];
        events.getBase()[i] = nullptr;
    }
    events.setSize(0);
}

void MidiFile::erase() {
    releaseTracks();
    events.setSize(1);
    events[0] = newTrackList(0, true);
    timeMapValid = 0;
    timeMap.setSize(0);
}

void MidiFile::clear() {
    erase();
}

int MidiFile::getTrackCount() const {
    return static_cast<int>(events.getSize());
}

int MidiFile::getNumTracks() const {
    return getTrackCount();
}

int MidiFile::getNumEvents(int track) const {
    return static_cast<int>(events[track]->getSize());
}

int MidiFile::getEventCapacity(int track) const {
    const int64_t room = events[track]->getAllocSize();
    return room > INT_MAX ? INT_MAX : static_cast<int>(room);
}

MFEvent& MidiFile::getEvent(int track, int index) {
    return (*events[track])[index];
}

int MidiFile::getTrack(int track, int index) {
    return getEvent(track, index).track;
}

int MidiFile::getTicksPerQuarterNote() const {
    return ticksPerQuarterNote;
}

void MidiFile::setTicksPerQuarterNote(int ticks) {
    ticksPerQuarterNote = ticks;
}

int MidiFile::getTimeState() const {
    return timeState;
}

int MidiFile::getTrackState() const {
    return trackState;
}

int MidiFile::addTrack() {
    const int n = getTrackCount();
    events.setSize(n + 1);
    events[n] = newTrackList(10000, true);
    return n;
}

// A negative count is refused: nothing is added, and the result is that of a
// count of 0 (the index of the current last track).
int MidiFile::addTrack(int count) {
    const int n = getTrackCount();
    for (int i = 0; i < count; i++) {
        addTrack();
    }
    return count > 0 ? n + count - 1 : n - 1;
}

int MidiFile::addEvent(int track, int time, const Array<unsigned char>& bytes) {
    timeMapValid = 0;
    SigCollection<MFEvent>* list = events[track];
    const int64_t index = list->getSize();
    if (index == list->getAllocSize()) {
        // The bytes may belong to an event of this list, which the grow moves.
        MFEvent event(time, track, bytes);
        list->append(event);
        return static_cast<int>(list->getSize() - 1);
    }
    // Assigned straight into the free slot: what appending a new event would
    // leave there, without building and releasing that event.
    list->setSize(index + 1);
    MFEvent& slot = list->getBase()[index];
    slot.time = time;
    slot.track = track;
    const int64_t n = bytes.getSize();
    slot.data.setSize(n);
    if (n > 0) {
        std::memmove(slot.data.getBase(), bytes.getBase(), static_cast<size_t>(n));
    }
    return static_cast<int>(index);
}

int MidiFile::addEvent(const MFEvent& event) {
    SigCollection<MFEvent>* list = trackState == 1 ? events[0] : events[event.track];
    list->append(event);
    return static_cast<int>(list->getSize() - 1);
}

int MidiFile::addMetaEvent(int track, int time, int type, const Array<unsigned char>& payload) {
    timeMapValid = 0;
    const int64_t length = payload.getSize();
    unsigned char vlv[4];
    // Lengths beyond int are refused by makeVLV like any other over-long one.
    const int vlvLength = makeVLV(vlv, length > 0x7fffffff ? -1 : static_cast<int>(length));
    Array<unsigned char> bytes;
    bytes.setSize(length + vlvLength + 2);
    unsigned char* out = bytes.getBase();
    out[0] = 0xff;
    out[1] = static_cast<unsigned char>(type & 0x7f);
    for (int i = 0; i < vlvLength; i++) {
        out[2 + i] = vlv[i];
    }
    const unsigned char* in = payload.getBase();
    for (int64_t i = 0; i < length; i++) {
        out[2 + vlvLength + i] = in[i];
    }
    return addEvent(track, time, bytes);
}

int MidiFile::addMetaEvent(int track, int time, int type, const char* text) {
    const size_t length = text == nullptr ? 0 : std::strlen(text);
    Array<unsigned char> payload;
    payload.setSize(static_cast<int64_t>(length));
    for (size_t i = 0; i < length; i++) {
        payload.getBase()[i] = static_cast<unsigned char>(text[i]);
    }
    return addMetaEvent(track, time, type, payload);
}

int MidiFile::makeVLV(unsigned char* buffer, int number) {
    const uint32_t value = static_cast<uint32_t>(number);
    if (value >= 0x10000000u) {
        std::cout << "Error: number too large to handle" << std::endl;
        std::exit(1);
    }
    unsigned char groups[4] = {
        static_cast<unsigned char>((value >> 21) & 0x7f),
        static_cast<unsigned char>((value >> 14) & 0x7f),
        static_cast<unsigned char>((value >> 7) & 0x7f),
        static_cast<unsigned char>(value & 0x7f),
    };
    int start = 0;
    while (start < 3 && groups[start] == 0) {
        start++;
    }
    int length = 0;
    for (int i = start; i < 4; i++) {
        buffer[length++] = static_cast<unsigned char>(i < 3 ? groups[i] | 0x80 : groups[i]);
    }
    return length;
}

// Sums and differences run in unsigned 32 bits, so hostile times wrap instead
// of overflowing.
void MidiFile::absoluteTime() {
    if (timeState == 1) {
        return;
    }
    for (int64_t t = 0; t < events.getSize(); t++) {
        SigCollection<MFEvent>& list = *events.getBase()[t];
        MFEvent* e = list.getBase();
        for (int64_t i = 1; i < list.getSize(); i++) {
            const uint32_t sum =
                static_cast<uint32_t>(e[i].time) + static_cast<uint32_t>(e[i - 1].time);
            e[i].time = toSigned32(sum);
        }
    }
    timeState = 1;
}

void MidiFile::deltaTime() {
    if (timeState == 0) {
        return;
    }
    for (int64_t t = 0; t < events.getSize(); t++) {
        SigCollection<MFEvent>& list = *events.getBase()[t];
        MFEvent* e = list.getBase();
        if (list.getSize() == 0) {
            continue;
        }
        uint32_t previous = static_cast<uint32_t>(e[0].time);
        for (int64_t i = 1; i < list.getSize(); i++) {
            const uint32_t current = static_cast<uint32_t>(e[i].time);
            e[i].time = toSigned32(current - previous);
            previous = current;
        }
    }
    timeState = 0;
}

void MidiFile::sortTracks() {
    for (int64_t t = 0; t < events.getSize(); t++) {
        sortTrack(*events.getBase()[t]);
    }
}

// eventcompare is not a strict weak order (its ties are not transitive), so
// the sort runs on (time, rank, position) instead, which honours all of its
// ordered pairs and keeps equal ranks in insertion order. Whole events then
// change places, as the standard qsort would move them, without copying bytes.
void MidiFile::sortTrack(SigCollection<MFEvent>& list) {
    const int64_t count = list.getSize();
    if (count < 2) {
        return;
    }
    MFEvent* base = list.getBase();
    struct SortKey {
        int time;
        int rank;
        int64_t index;
    };
    std::vector<SortKey> keys(static_cast<size_t>(count));
    bool sorted = true;
    for (int64_t i = 0; i < count; i++) {
        keys[i] = {base[i].time, tickRank(base[i]), i};
        if (i > 0 && (keys[i].time < keys[i - 1].time ||
                      (keys[i].time == keys[i - 1].time && keys[i].rank < keys[i - 1].rank))) {
            sorted = false;
        }
    }
    if (sorted) {
        return;
    }
    std::sort(keys.begin(), keys.end(), [](const SortKey& a, const SortKey& b) {
        if (a.time != b.time) {
            return a.time < b.time;
        }
        if (a.rank != b.rank) {
            return a.rank < b.rank;
        }
        return a.index < b.index;
    });
    // Position i takes the event at keys[i].index; each cycle of that
    // permutation is walked once.
    std::vector<bool> placed(static_cast<size_t>(count), false);
    for (int64_t i = 0; i < count; i++) {
        int64_t j = i;
        while (!placed[j]) {
            placed[j] = true;
            const int64_t from = keys[j].index;
            if (from == i) {
                break;
            }
            std::swap(base[j].time, base[from].time);
            std::swap(base[j].track, base[from].track);
            base[j].data.swapWith(base[from].data);
            j = from;
        }
    }
}
