// Changing the shape of a score: joining, splitting, merging and deleting
// tracks, reserving room, and the pitch-bend and millisecond helpers.
#include <climits>
#include <cmath>
#include <cstdint>
#include <iostream>

#include "MidiFile.h"

namespace {

// The most tracks a Standard MIDI File header can declare is 65535, so no
// score that can be read or written needs a track number above this.
// splitTracks refuses anything higher instead of allocating one list per
// number up to it.
constexpr int kHighestSplitTrack = 65535;

// Joined lists reserve this many events so that joining a large score does
// not regrow the list a few events at a time.
constexpr int64_t kJoinReserve = 200000;

} // namespace

void MidiFile::joinTracks() {
    if (trackState == 1 || getTrackCount() == 1) {
        return;
    }
    int64_t total = 0;
    for (int i = 0; i < getTrackCount(); i++) {
        total += events[i]->getSize();
    }
    SigCollection<MFEvent>* joined =
        newTrackList(total > kJoinReserve ? total : kJoinReserve, false);
    const bool wasDelta = timeState == 0;
    if (wasDelta) {
        absoluteTime();
    }
    for (int i = 0; i < getTrackCount(); i++) {
        SigCollection<MFEvent>& list = *events[i];
        const int count = static_cast<int>(list.getSize());
        for (int j = 0; j < count; j++) {
            joined->append(list[j]);
        }
    }
    erase();
    delete events[0];
    events[0] = joined;
    sortTrack(*joined);
    trackState = 1;
    if (wasDelta) {
        deltaTime();
    }
}

void MidiFile::splitTracks() {
    if (trackState == 0) {
        return;
    }
    const bool wasDelta = timeState == 0;
    if (wasDelta) {
        absoluteTime();
    }
    SigCollection<MFEvent>* joined = events[0];
    const int count = static_cast<int>(joined->getSize());
    int highest = 0;
    for (int i = 0; i < count; i++) {
        const int track = (*joined)[i].track;
        if (track > highest) {
            highest = track;
        }
    }
    if (highest > kHighestSplitTrack) {
        // Same report as any other track number outside the table.
        std::cerr << "Error: accessing invalid array location " << highest << " Maximum is "
                  << kHighestSplitTrack << std::endl;
        std::exit(1);
    }
    const int trackCount = highest + 1;

    // Count first so each list is made once at its final size rather than
    // regrown eight events at a time.
    SigCollection<int> sizes(trackCount);
    for (int t = 0; t < trackCount; t++) {
        sizes[t] = 0;
    }
    for (int i = 0; i < count; i++) {
        const int track = (*joined)[i].track;
        if (track >= 0) {
            sizes[track]++;
        }
    }

    events.setSize(trackCount);
    for (int t = 0; t < trackCount; t++) {
        events[t] = newTrackList(sizes[t], true);
    }
    // A negative track number ends the program here with the index message.
    for (int i = 0; i < count; i++) {
        const MFEvent& event = (*joined)[i];
        events[event.track]->append(event);
    }
    delete joined;
    trackState = 0;
    if (wasDelta) {
        deltaTime();
    }
}

void MidiFile::mergeTracks(int first, int second) {
    // Check both numbers before changing anything.
    SigCollection<MFEvent>* firstList = events[first];
    SigCollection<MFEvent>* secondList = events[second];
    // A track merged with itself would be released twice; leave it alone.
    if (first == second) {
        return;
    }
    const int64_t firstCount = firstList->getSize();
    const int64_t secondCount = secondList->getSize();
    SigCollection<MFEvent>* merged = newTrackList(firstCount + secondCount, false);
    const bool wasDelta = timeState == 0;
    if (wasDelta) {
        absoluteTime();
    }
    const int trackCount = getTrackCount();
    for (int i = 0; i < firstCount; i++) {
        merged->append((*firstList)[i]);
    }
    for (int i = 0; i < secondCount; i++) {
        merged->append((*secondList)[i]);
        (*merged)[static_cast<int>(merged->getSize() - 1)].track = first;
    }
    sortTrack(*merged);
    delete firstList;
    events[first] = merged;
    delete secondList;
    for (int i = second; i < trackCount - 1; i++) {
        events[i] = events[i + 1];
    }
    events.setSize(trackCount - 1);
    if (wasDelta) {
        deltaTime();
    }
}

void MidiFile::deleteTrack(int track) {
    const int trackCount = getTrackCount();
    if (track < 0 || track >= trackCount || trackCount == 1) {
        return;
    }
    delete events[track];
    for (int i = track; i < trackCount - 1; i++) {
        events[i] = events[i + 1];
    }
    events.setSize(trackCount - 1);
}

void MidiFile::allocateEvents(int track, int count) {
    SigCollection<MFEvent>& list = *events[track];
    const int64_t oldSize = list.getSize();
    if (oldSize >= count) {
        return;
    }
    list.reserve(count);
}

int MidiFile::getTrackCountAsType1() {
    if (trackState == 0) {
        return getTrackCount();
    }
    const SigCollection<MFEvent>& list = *events[0];
    const int count = static_cast<int>(list.getSize());
    int highest = 0;
    for (int i = 0; i < count; i++) {
        if (list[i].track > highest) {
            highest = list[i].track;
        }
    }
    // A track number of INT_MAX would overflow the count; report INT_MAX.
    return highest == INT_MAX ? INT_MAX : highest + 1;
}

int MidiFile::addPitchBend(int track, int time, int channel, double amount) {
    timeMapValid = 0;
    const double scaled = (amount + 1.0) * 8192.0 + 0.5;
    // Converting a NaN or out-of-range double to int is undefined, so clamp
    // first; a NaN amount gives the centre, no bend.
    int value;
    if (std::isnan(scaled)) {
        value = 8192;
    } else if (scaled >= 16384.0) {
        value = 16383;
    } else if (scaled < 0.0) {
        value = 0;
    } else {
        value = static_cast<int>(scaled);
    }
    int status;
    if (channel < 0) {
        status = 0xE0;
    } else if (channel > 15) {
        status = 0xEF;
    } else {
        status = 0xE0 + channel;
    }
    Array<unsigned char> bytes;
    bytes.setSize(3);
    bytes[0] = static_cast<unsigned char>(status);
    bytes[1] = static_cast<unsigned char>(value & 0x7F);
    bytes[2] = static_cast<unsigned char>((value >> 7) & 0x7F);
    return addEvent(track, time, bytes);
}

// SMPTE timing at 25 frames per second (high byte 0xE7, -25) with 40 ticks
// per frame: 1000 ticks per second.
void MidiFile::setMillisecondDelta() {
    ticksPerQuarterNote = 0xE728;
}
