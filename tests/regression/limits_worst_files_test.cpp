// The worst files of at most 1 MiB that we could build: huge chunk lengths,
// huge delta times, hundreds of thousands of tiny events, every track count
// declared, huge and countless meta events. Each is read, written and dumped
// by the model, and prepared by the player, in a child process. Whatever a
// file holds, the run ends with status 0 or with a message and status 1,
// within a few hundred MiB and a few seconds of processor time (the bounds
// are in childrun.h; sanitized builds get more).
#include <cstddef>
#include <string>

#include <gtest/gtest.h>

#include "childrun.h"
#include "pipeline.h"

namespace {

using pipeline::append;
using pipeline::fill;

const size_t kMiB = 1 << 20;
// Room left at the end of a file for the tail of required holes.
const size_t kTail = 100;

// Ten closings of a required pedal hole, with their own status bytes, so that
// the roll passes the validity test and is serialised whatever came before.
Bytes requiredtail() {
    Bytes tail;
    for (int i = 0; i < 10; i++) {
        append(tail, bytes({0x00, 0x90, 6, 64, 0x60, 0x80, 6, 0}));
    }
    append(tail, bytes({0x00, 0xff, 0x2f, 0x00}));
    return tail;
}

// Both runs of one file; the roll's run must end with rollstatus and print
// message.
void checkfile(const Bytes& file, const std::string& name, int rollstatus,
               const std::string& message) {
    ASSERT_LE(file.size(), kMiB);
    const std::string path = writetemp(file, name);
    {
        SCOPED_TRACE("read, write and dump");
        const childrun::result r = childrun::run([&] { pipeline::readwritedump(path); });
        EXPECT_WITHIN_LIMITS(r, 0);
    }
    {
        SCOPED_TRACE("the player's preparation");
        const childrun::result r = childrun::run([&] { pipeline::prepareroll(path); });
        EXPECT_WITHIN_LIMITS(r, rollstatus);
        EXPECT_NE(r.output.find(message), std::string::npos) << r.output.substr(0, 2000);
    }
}

// Half a million two-byte events (running status program changes) behind a
// chunk length of 0, which reserves only the usual room.
TEST(LimitsWorstFiles, TinyEventsBehindAChunkLengthOfZero) {
    Bytes file = header(0, 1, 96);
    append(file, chunkhead(0));
    append(file, bytes({0x00, 0xc0, 5}));
    fill(file, bytes({0x00, 5}), kMiB);
    checkfile(file, "tiny-events.mid", 1, "Invalid estey e-roll");
}

// 175,000 notes, one tick each at one tick per quarter note, cycling through
// pedal, swell and great holes, stop controls and both swell holes, so that
// every output track grows long and registration changes never stop.
TEST(LimitsWorstFiles, NotesOnEveryTick) {
    Bytes file = header(0, 1, 1);
    append(file, chunkhead(kMiB));
    append(file, bytes({0x00, 0x90, 6, 64, 0x01, 6, 0}));
    const int holes[] = {6, 7, 30, 1, 123, 124, 8, 9, 31, 125, 124, 123};
    for (size_t i = 0; file.size() + 6 + kTail <= kMiB; i++) {
        const int hole = holes[i % (sizeof holes / sizeof holes[0])];
        append(file, bytes({0x00, hole, 64, 0x01, hole, 0}));
    }
    append(file, requiredtail());
    checkfile(file, "notes.mid", 0, "Playing time: ");
}

// Every delta time the largest five-byte quantity: the tick counter wraps
// round and round, so notes fall before tick 0 and far after it.
TEST(LimitsWorstFiles, HugeDeltaTimes) {
    Bytes file = header(0, 1, 96);
    append(file, chunkhead(0xffffffffu));
    append(file, bytes({0x00, 0x90, 6, 64}));
    for (size_t i = 0; file.size() + 7 + kTail <= kMiB; i++) {
        append(file, bytes({0xff, 0xff, 0xff, 0xff, 0x7f, 6, i % 2 == 0 ? 0 : 64}));
    }
    append(file, requiredtail());
    checkfile(file, "huge-deltas.mid", 0, "Playing time: ");
}

// As many tracks as the header can declare, every chunk present.
TEST(LimitsWorstFiles, EveryTrackDeclaredAndPresent) {
    Bytes file = header(1, 65535, 96);
    for (int t = 0; t < 65535; t++) {
        append(file, chunkhead(4));
        append(file, bytes({0x00, 0xff, 0x2f, 0x00}));
    }
    checkfile(file, "tracks.mid", 1, "Invalid e-roll, 65535 tracks");
}

// The same with every chunk length 0xFFFFFFFF.
TEST(LimitsWorstFiles, EveryTrackWithTheLargestChunkLength) {
    Bytes file = header(1, 65535, 96);
    for (int t = 0; t < 65535; t++) {
        append(file, chunkhead(0xffffffffu));
        append(file, bytes({0x00, 0xff, 0x2f, 0x00}));
    }
    checkfile(file, "tracks-long.mid", 1, "Invalid e-roll, 65535 tracks");
}

// 200,000 one-letter text, copyright and title events: each is printed and
// copied into the output score.
TEST(LimitsWorstFiles, CountlessTextEvents) {
    Bytes file = header(0, 1, 96);
    append(file, chunkhead(0));
    for (size_t i = 0; file.size() + 5 + kTail <= kMiB; i++) {
        append(file, bytes({0x00, 0xff, 1 + static_cast<int>(i % 3), 0x01, 'A'}));
    }
    append(file, requiredtail());
    checkfile(file, "texts.mid", 0, "Playing time: ");
}

// 150,000 tempo events, each printed.
TEST(LimitsWorstFiles, CountlessTempoEvents) {
    Bytes file = header(0, 1, 96);
    append(file, chunkhead(0));
    for (size_t i = 0; file.size() + 7 + kTail <= kMiB; i++) {
        append(file, bytes({0x00, 0xff, 0x51, 0x03, 0x07, static_cast<int>(i % 256), 0x20}));
    }
    append(file, requiredtail());
    checkfile(file, "tempi.mid", 0, "Playing time: ");
}

// One title of nearly 1 MiB, printed and copied.
TEST(LimitsWorstFiles, OneHugeTitle) {
    const size_t length = kMiB - 22 - 8 - kTail;
    Bytes file = header(0, 1, 96);
    append(file, chunkhead(0));
    append(file,
           bytes({0x00, 0xff, 0x03, 0x80 | static_cast<int>(length >> 14),
                  0x80 | static_cast<int>((length >> 7) & 0x7f), static_cast<int>(length & 0x7f)}));
    file.resize(file.size() + length, 'T');
    append(file, requiredtail());
    checkfile(file, "title.mid", 0, "Playing time: ");
}

// A system exclusive message without its end byte, and a meta event that
// claims 2^35 - 1 bytes: both run to the end of the file.
TEST(LimitsWorstFiles, MessagesThatRunToTheEndOfTheFile) {
    Bytes sysex = header(0, 1, 96);
    append(sysex, chunkhead(6));
    append(sysex, bytes({0x00, 0xf0}));
    sysex.resize(kMiB, 0x01);
    checkfile(sysex, "sysex.mid", 1, "Invalid estey e-roll");

    Bytes meta = header(0, 1, 96);
    append(meta, chunkhead(6));
    append(meta, bytes({0x00, 0xff, 0x01, 0xff, 0xff, 0xff, 0xff, 0x7f}));
    meta.resize(kMiB, 'A');
    checkfile(meta, "meta.mid", 1, "Invalid estey e-roll");
}

} // namespace
