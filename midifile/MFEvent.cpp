// Construction and copying of one timed message. Every event starts with a
// byte array of room 4 that grows by 4, so short channel messages need no
// further allocation.
#include "MFEvent.h"

namespace {

// The room of a new event's byte array; the block itself is allocated when
// the first byte is stored, so reserved slots cost no allocation of their own.
const DeferredBlock eventBytes{4};

// Copies the bytes of src into dst, keeping dst's own growth settings.
void copyBytes(Array<unsigned char>& dst, const Array<unsigned char>& src) {
    const int64_t n = src.getSize();
    dst.setSize(n);
    const unsigned char* from = src.getBase();
    unsigned char* to = dst.getBase();
    for (int64_t i = 0; i < n; i++) {
        to[i] = from[i];
    }
}

void startBytes(Array<unsigned char>& data, bool grows) {
    data.setSize(0);
    data.setGrowth(4);
    data.setAutoGrow(grows);
}

} // namespace

MFEvent::MFEvent() : time(0), track(0), data(eventBytes) {
    startBytes(data, true);
}

MFEvent::MFEvent(int command) : time(0), track(0), data(eventBytes) {
    startBytes(data, true);
    data.append(static_cast<unsigned char>(command & 0xff));
}

MFEvent::MFEvent(int command, int p1) : time(0), track(0), data(eventBytes) {
    startBytes(data, true);
    data.append(static_cast<unsigned char>(command & 0xff));
    data.append(static_cast<unsigned char>(p1 & 0xff));
}

MFEvent::MFEvent(int command, int p1, int p2) : time(0), track(0), data(eventBytes) {
    startBytes(data, true);
    data.append(static_cast<unsigned char>(command & 0xff));
    data.append(static_cast<unsigned char>(p1 & 0xff));
    data.append(static_cast<unsigned char>(p2 & 0xff));
}

MFEvent::MFEvent(int eventTrack, int command, int p1, int p2) : MFEvent(command, p1, p2) {
    track = eventTrack;
}

MFEvent::MFEvent(int eventTime, int eventTrack, int command, int p1, int p2)
    : MFEvent(command, p1, p2) {
    time = eventTime;
    track = eventTrack;
}

MFEvent::MFEvent(int eventTime, int eventTrack, const Array<unsigned char>& bytes)
    : time(eventTime), track(eventTrack), data(eventBytes) {
    startBytes(data, false);
    copyBytes(data, bytes);
}

MFEvent::MFEvent(const MFEvent& other) : time(other.time), track(other.track), data(eventBytes) {
    startBytes(data, false);
    copyBytes(data, other.data);
}

MFEvent& MFEvent::operator=(const MFEvent& other) {
    if (this == &other) {
        return *this;
    }
    time = other.time;
    track = other.track;
    copyBytes(data, other.data);
    return *this;
}

MFEvent::~MFEvent() = default;

void relocateElement(MFEvent& slot, MFEvent& old) {
    const int64_t n = old.data.getSize();
    const int64_t room = slot.data.getAllocSize();
    // Assignment would leave the slot's own settings and a capacity of
    // max(room, n); only then may the bytes change hands.
    if (old.data.getAllocSize() != (room < n ? n : room)) {
        slot = old;
        return;
    }
    slot.time = old.time;
    slot.track = old.track;
    slot.data.swapElements(old.data);
}
