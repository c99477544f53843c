// Files built to hurt the reader: absurd chunk lengths and track counts,
// lengths beyond the end of the file, tick counters past 32 bits, and files
// cut at every byte. None may crash, hang or allocate without bound.
#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "../support/events.h"
#include "../support/paths.h"
#include "../support/refusal.h"
#include "../support/smf.h"
#include "MidiFile.h"

namespace {

std::string fixture(const char* name) {
    return std::string(testpath("VENNOR_TEST_DATA")) + "/" + name;
}

// Adds events to a track until it holds `count`, and tells whether the first
// event stayed where it was: it does while the reservation lasts.
bool roomFor(MidiFile& score, int track, int count) {
    const MFEvent* first = &score.getEvent(track, 0);
    const Array<unsigned char> note = bytearray({0x90, 60, 64});
    while (score.getNumEvents(track) < count) {
        score.addEvent(track, 0, note);
    }
    return &score.getEvent(track, 0) == first;
}

// Reserving 0xFFFFFFFF / 2 events would ask for billions; the rest of the
// file holds 8 bytes, so the usual 10,000 are reserved instead.
TEST(ReaderHostileInput, ChunkLengthOfAllOnes) {
    MidiFile score;
    const auto r = readcaptured(score, fixture("chunk-length-ffffffff.mid"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(eventsof(score, 0),
              (std::vector<Ev>{{0, bytes({0x90, 0x3c, 0x40})}, {0, endoftrack}}));
    EXPECT_TRUE(roomFor(score, 0, 10000));
}

// 65,535 declared tracks in a 14-byte file: the lists exist, empty, and the
// read fails at the first missing chunk without reserving for the others.
TEST(ReaderHostileInput, ManyDeclaredTracksNoChunks) {
    MidiFile score;
    const auto r = readcaptured(score, fixture("declares-65535-tracks.mid"));
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("has bad track info"), std::string::npos);
    ASSERT_EQ(score.getTrackCount(), 65535);
    for (int t = 0; t < 65535; t++) {
        ASSERT_EQ(score.getNumEvents(t), 0) << t;
    }
}

TEST(ReaderHostileInput, ManyDeclaredTracksOneChunk) {
    const std::string path = writetemp(
        concat({header(1, 65535, 96), chunk(concat({bytes({0x00, 0xc0, 3}), endoftrackdelta}))}));
    MidiFile score;
    const auto r = readcaptured(score, path);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(score.getTrackCount(), 65535);
    EXPECT_EQ(eventsof(score, 0), (std::vector<Ev>{{0, bytes({0xc0, 3})}, {0, endoftrack}}));
    EXPECT_EQ(score.getNumEvents(65534), 0);
}

// A sane chunk longer than 20,000 bytes reserves chunk length / 2 events, as
// many as it could hold: events do not move while the list fills that far.
TEST(ReaderHostileInput, LargeSaneChunkReservesHalfItsLength) {
    Bytes body = bytes({0x00, 0x90, 60, 64});
    while (body.size() < 40000 - 4) {
        for (int b : {0x00, 60, 0}) {
            body.push_back(static_cast<unsigned char>(b));
        }
    }
    body = concat({body, endoftrackdelta});
    const std::string path = writetemp(concat({header(0, 1, 96), chunk(body)}));
    MidiFile score;
    ASSERT_EQ(readcaptured(score, path).status, 1);
    ASSERT_GT(score.getNumEvents(0), 13000);
    EXPECT_TRUE(roomFor(score, 0, static_cast<int>(body.size() / 2)));
}

// A chunk length beyond the end of the file still reserves the usual room.
TEST(ReaderHostileInput, ChunkLengthBeyondTheFile) {
    Bytes file = concat({header(0, 1, 96), bytes({'M', 'T', 'r', 'k', 0x00, 0x10, 0x00, 0x00}),
                         bytes({0x00, 0xc0, 1}), endoftrackdelta});
    const std::string path = writetemp(file);
    MidiFile score;
    ASSERT_EQ(readcaptured(score, path).status, 1);
    EXPECT_EQ(score.getNumEvents(0), 2);
    EXPECT_TRUE(roomFor(score, 0, 10000));
}

// A meta length of 2^35 - 1 in a 38-byte file: the read stops at the end of
// the file at once, and the cut event is not stored.
TEST(ReaderHostileInput, MetaLengthBeyondTheFile) {
    MidiFile score;
    const auto r = readcaptured(score, fixture("meta-length-beyond-file.mid"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(eventsof(score, 0), (std::vector<Ev>{{0, bytes({0xc0, 5})}}));
}

// An empty chunk at the end of the file: no message is read, so no running
// status is needed and nothing is stored.
TEST(ReaderHostileInput, EmptyLastChunk) {
    MidiFile score;
    const auto r = readcaptured(score, fixture("empty-last-chunk.mid"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(score.getTrackCount(), 1);
    EXPECT_EQ(score.getNumEvents(0), 0);
}

// The absolute tick counter wraps at 32 bits.
TEST(ReaderHostileInput, TickCounterWraps) {
    Bytes body;
    std::vector<Ev> expected;
    uint32_t ticks = 0;
    for (int i = 0; i < 40; i++) {
        // 2^35 - 1 ticks: the largest five-byte delta.
        body = concat({body, bytes({0xff, 0xff, 0xff, 0xff, 0x7f, 0xc0, i})});
        ticks += static_cast<uint32_t>(0x7ffffffffull);
        expected.push_back({static_cast<int>(static_cast<int64_t>(ticks) -
                                             (ticks >= 0x80000000u ? (int64_t(1) << 32) : 0)),
                            bytes({0xc0, i})});
    }
    for (int i = 0; i < 20; i++) {
        body = concat({body, bytes({0xff, 0xff, 0xff, 0x7f, 0xc1, i})});
        ticks += 0x0fffffffu;
        expected.push_back({static_cast<int>(static_cast<int64_t>(ticks) -
                                             (ticks >= 0x80000000u ? (int64_t(1) << 32) : 0)),
                            bytes({0xc1, i})});
    }
    const std::string path = writetemp(concat({header(0, 1, 96), chunk(body)}));
    MidiFile score;
    EXPECT_EQ(readcaptured(score, path).status, 1);
    EXPECT_EQ(eventsof(score, 0), expected);
}

// Cut a varied file at every length: each read ends cleanly, and what it
// stores is a prefix of what the whole file gives, never a half-read event.
TEST(ReaderHostileInput, EveryTruncationStoresAPrefix) {
    const Bytes whole = concat(
        {header(1, 2, 96),
         chunk(concat({bytes({0x00, 0xff, 0x03, 0x05, 'O', 'r', 'g', 'a', 'n', 0x00, 0xff, 0x51,
                              0x03, 0x07, 0xa1, 0x20}),
                       endoftrackdelta})),
         chunk(concat({bytes({0x00, 0x90, 60,   64,   0x81, 0x00, 60,   0,    0x00, 0xf0, 3, 1,
                              2,    0xf7, 0x10, 0xc1, 7,    0x83, 0x80, 0x00, 0xe1, 0,    64}),
                       endoftrackdelta}))});
    MidiFile full;
    ASSERT_EQ(readcaptured(full, writetemp(whole)).status, 1);
    const std::vector<Ev> fullTracks[2] = {eventsof(full, 0), eventsof(full, 1)};
    ASSERT_EQ(fullTracks[1].size(), 6u);
    const size_t lastChunk = 14 + 8 + 20;
    ASSERT_EQ(whole[lastChunk], 'M');
    ASSERT_EQ(whole[lastChunk + 3], 'k');
    for (size_t n = 0; n < whole.size(); n++) {
        MidiFile cut;
        const auto r = readcaptured(cut, writetemp(Bytes(whole.begin(), whole.begin() + n)));
        // Cut before the last signature is complete, the read fails with a
        // message; after it, the last track simply ends early.
        if (n == 10 || n == 11) {
            // The track count is cut: it reads as 0, a valid type 1 file.
            EXPECT_EQ(r.status, 1) << n;
            EXPECT_EQ(cut.getTrackCount(), 0) << n;
        } else if (n >= lastChunk + 4) {
            EXPECT_EQ(r.status, 1) << n;
            EXPECT_EQ(r.out, "") << n;
        } else {
            EXPECT_EQ(r.status, 0) << n;
            EXPECT_NE(r.out, "") << n;
        }
        if (cut.getTrackCount() != 2) {
            continue; // refused before the tracks were set up
        }
        for (int t = 0; t < 2; t++) {
            const std::vector<Ev> got = eventsof(cut, t);
            ASSERT_LE(got.size(), fullTracks[t].size()) << n;
            EXPECT_EQ(got, std::vector<Ev>(fullTracks[t].begin(),
                                           fullTracks[t].begin() + static_cast<long>(got.size())))
                << "cut at " << n;
        }
    }
}

} // namespace
