// The bytes the writer produces: header, chunk framing, delta times, the
// end-of-track rule, the time state around a write, and the named-file form.
#include <string>

#include <gtest/gtest.h>

#include "../support/events.h"
#include "../support/refusal.h"
#include "../support/smf.h"
#include "MidiFile.h"

namespace {

using ::testing::ExitedWithCode;

const Bytes kEmptyChunk = bytes({'M', 'T', 'r', 'k', 0, 0, 0, 4, 0x00, 0xff, 0x2f, 0x00});

TEST(WriterBytes, NewScoreIsTwentySixBytes) {
    MidiFile score;
    EXPECT_EQ(written(score), bytes({0x4d, 0x54, 0x68, 0x64, 0x00, 0x00, 0x00, 0x06, 0x00,
                                     0x00, 0x00, 0x01, 0x00, 0x30, 0x4d, 0x54, 0x72, 0x6b,
                                     0x00, 0x00, 0x00, 0x04, 0x00, 0xff, 0x2f, 0x00}));
}

TEST(WriterBytes, SixteenTracksUseFormatOne) {
    MidiFile score;
    score.addTrack(15);
    Bytes expected = bytes({'M', 'T', 'h', 'd', 0, 0, 0, 6, 0x00, 0x01, 0x00, 0x10, 0x00, 0x30});
    for (int i = 0; i < 16; i++) {
        expected = concat({expected, kEmptyChunk});
    }
    EXPECT_EQ(written(score), expected);
    EXPECT_EQ(expected.size(), 14u + 16u * 12u);
}

TEST(WriterBytes, TwoTracksUseFormatOne) {
    MidiFile score;
    score.addTrack();
    const Bytes out = written(score);
    EXPECT_EQ(Bytes(out.begin(), out.begin() + 14), header(1, 2, 48));
}

TEST(WriterBytes, NoteTrackOfThirteenBytes) {
    MidiFile score;
    score.absoluteTime();
    score.addEvent(0, 0, bytearray({0x90, 0x3c, 0x41}));
    score.addEvent(0, 200, bytearray({0x80, 0x3c, 0x41}));
    const Bytes body =
        bytes({0x00, 0x90, 0x3c, 0x41, 0x81, 0x48, 0x80, 0x3c, 0x41, 0x00, 0xff, 0x2f, 0x00});
    ASSERT_EQ(body.size(), 13u);
    EXPECT_EQ(written(score), concat({header(0, 1, 48), chunk(body)}));
}

TEST(WriterBytes, DivisionIsTheLowSixteenBits) {
    MidiFile score;
    score.setTicksPerQuarterNote(0x12345);
    const Bytes out = written(score);
    EXPECT_EQ(out[12], 0x23);
    EXPECT_EQ(out[13], 0x45);
}

TEST(WriterBytes, ExistingEndOfTrackIsNotDoubled) {
    MidiFile score;
    score.absoluteTime();
    score.addEvent(0, 0, bytearray({0xc0, 0x05}));
    score.addMetaEvent(0, 30, 0x2f, "");
    EXPECT_EQ(written(score),
              concat({header(0, 1, 48), chunk(bytes({0x00, 0xc0, 0x05, 0x1e, 0xff, 0x2f, 0x00}))}));
}

// Only the last event counts: an end-of-track earlier in the track is
// judged by where it stands.
TEST(WriterBytes, EndOfTrackTestLooksAtTheLastEvent) {
    MidiFile score;
    score.addMetaEvent(0, 0, 0x2f, "");
    score.addEvent(0, 0, bytearray({0xc0, 0x05}));
    EXPECT_EQ(written(score),
              concat({header(0, 1, 48), chunk(bytes({0x00, 0xff, 0x2f, 0x00, 0x00, 0xc0, 0x05, 0x00,
                                                     0xff, 0x2f, 0x00}))}));
    MidiFile other;
    other.addEvent(0, 0, bytearray({0xff, 0x2f, 0x05}));
    EXPECT_EQ(written(other), concat({header(0, 1, 48), chunk(bytes({0x00, 0xff, 0x2f, 0x05}))}));
    // A channel message of three bytes whose second is 2F is no end-of-track:
    // the note-off of pitch 47 that pedal hole 28 and swell hole 29 play.
    MidiFile note;
    note.addEvent(0, 0, bytearray({0x80, 0x2f, 0x40}));
    EXPECT_EQ(
        written(note),
        concat({header(0, 1, 48), chunk(bytes({0x00, 0x80, 0x2f, 0x40, 0x00, 0xff, 0x2f, 0x00}))}));
}

// Bytes that only end like an end-of-track event (a text payload, or a
// delta time whose last two bytes are FF 2F before a one-byte message) still
// get one, and two scores with two such tracks read back event for event.
TEST(WriterBytes, LookalikeEndingsStillGetAnEndOfTrack) {
    MidiFile score;
    score.absoluteTime();
    score.addTrack();
    score.addMetaEvent(0, 0, 0x01, "ends \xff\x2f");
    score.getEvent(0, 0).data.append(0x00);
    score.getEvent(0, 0).data[2] = 8; // the payload's length, with the 00
    score.addEvent(1, (0x7f << 7) | 0x2f, bytearray({0xf8}));
    const Bytes out = written(score);
    const Bytes text = bytes({0x00, 0xff, 0x01, 0x08, 'e', 'n', 'd', 's', ' ', 0xff, 0x2f, 0x00});
    EXPECT_EQ(out, concat({header(1, 2, 48), chunk(concat({text, bytes({0x00, 0xff, 0x2f, 0x00})})),
                           chunk(bytes({0xff, 0x2f, 0xf8, 0x00, 0xff, 0x2f, 0x00}))}));

    const std::string path = writetemp(out);
    MidiFile back;
    const ReadResult r = readcaptured(back, path);
    ASSERT_EQ(r.status, 1) << r.out << r.err;
    ASSERT_EQ(back.getTrackCount(), 2);
    back.absoluteTime();
    EXPECT_EQ(eventsof(back, 0), (std::vector<Ev>{{0, of(score.getEvent(0, 0).data)},
                                                  {0, bytes({0xff, 0x2f, 0x00})}}));
    EXPECT_EQ(eventsof(back, 1),
              (std::vector<Ev>{{(0x7f << 7) | 0x2f, bytes({0xf8})},
                               {(0x7f << 7) | 0x2f, bytes({0xff, 0x2f, 0x00})}}));
}

TEST(WriterBytes, NoRunningStatusAndBytesAsStored) {
    MidiFile score;
    score.absoluteTime();
    score.addMetaEvent(0, 0, 0x03, "Great");
    score.addEvent(0, 10, bytearray({0x92, 60, 65}));
    score.addEvent(0, 10, bytearray({0x92, 64, 65}));
    // A system exclusive message as the reader stores it, plain or under
    // running status, becomes the empty message; a whole one stays as it is.
    score.addEvent(0, 20, bytearray({0xf0}));
    score.addEvent(0, 20, bytearray({0xf0, 0x05}));
    score.addEvent(0, 20, bytearray({0xf0, 0x02, 0x11, 0xf7}));
    EXPECT_EQ(
        written(score),
        concat({header(0, 1, 48),
                chunk(bytes({0x00, 0xff, 0x03, 0x05, 'G',  'r',  'e',  'a',  't',  0x0a, 0x92, 60,
                             65,   0x00, 0x92, 64,   65,   0x0a, 0xf0, 0x01, 0xf7, 0x00, 0xf0, 0x01,
                             0xf7, 0x00, 0xf0, 0x02, 0x11, 0xf7, 0x00, 0xff, 0x2f, 0x00}))}));
}

TEST(WriterBytes, LargeDeltaTakesFiveBytes) {
    MidiFile score;
    score.absoluteTime();
    score.addEvent(0, 0x10000000, bytearray({0xc0, 1}));
    EXPECT_EQ(written(score),
              concat({header(0, 1, 48), chunk(bytes({0x81, 0x80, 0x80, 0x80, 0x00, 0xc0, 0x01, 0x00,
                                                     0xff, 0x2f, 0x00}))}));
}

TEST(WriterBytes, ChunkLengthCountsEveryBodyByte) {
    MidiFile score;
    const std::string words(300, 'a');
    score.addMetaEvent(0, 0, 0x01, words.c_str());
    const Bytes out = written(score);
    // body: delta 1 + FF 01 + 2 length bytes + 300 + end of track 4.
    const size_t body = 1 + 2 + 2 + 300 + 4;
    EXPECT_EQ(out.size(), 14 + 8 + body);
    EXPECT_EQ(Bytes(out.begin() + 18, out.begin() + 22), bytes({0, 0, body >> 8, body & 0xff}));
}

TEST(WriterBytes, TrackLongerThanTheFirstBufferReservation) {
    MidiFile score;
    score.absoluteTime();
    const std::string big(1500000, 'b');
    score.addMetaEvent(0, 0, 0x01, big.c_str());
    const Bytes out = written(score);
    const size_t body = 1 + 2 + 3 + big.size() + 4;
    ASSERT_EQ(out.size(), 14 + 8 + body);
    EXPECT_EQ(Bytes(out.begin() + 18, out.begin() + 22),
              bytes({0, static_cast<int>(body >> 16), static_cast<int>(body >> 8),
                     static_cast<int>(body)}));
    EXPECT_EQ(Bytes(out.end() - 4, out.end()), bytes({0x00, 0xff, 0x2f, 0x00}));
}

TEST(WriterState, AbsoluteScoreIsAbsoluteAgainWithSameTimes) {
    MidiFile score;
    score.absoluteTime();
    score.addEvent(0, 0, bytearray({0x90, 60, 64}));
    score.addEvent(0, 480, bytearray({0x80, 60, 64}));
    score.addEvent(0, 960, bytearray({0x90, 62, 64}));
    written(score);
    EXPECT_EQ(score.getTimeState(), 1);
    EXPECT_EQ(score.getEvent(0, 1).time, 480);
    EXPECT_EQ(score.getEvent(0, 2).time, 960);
}

TEST(WriterState, DeltaScoreIsWrittenUnchanged) {
    MidiFile score;
    score.addEvent(0, 5, bytearray({0x90, 60, 64}));
    score.addEvent(0, 7, bytearray({0x80, 60, 64}));
    EXPECT_EQ(written(score),
              concat({header(0, 1, 48), chunk(bytes({0x05, 0x90, 60, 64, 0x07, 0x80, 60, 64, 0x00,
                                                     0xff, 0x2f, 0x00}))}));
    EXPECT_EQ(score.getTimeState(), 0);
    EXPECT_EQ(score.getEvent(0, 1).time, 7);
}

TEST(WriterState, NegativeDeltaOfAnUnsortedTrack) {
    MidiFile score;
    score.absoluteTime();
    score.addEvent(0, 10, bytearray({0xc0, 1}));
    score.addEvent(0, 9, bytearray({0xc0, 2}));
    const Bytes out = written(score);
    // -1 widened with its sign: five bytes of ones.
    EXPECT_EQ(Bytes(out.begin() + 25, out.begin() + 30), bytes({0xff, 0xff, 0xff, 0xff, 0x7f}));
    EXPECT_EQ(score.getEvent(0, 1).time, 9);
}

TEST(WriterFile, NamedFileHoldsTheStreamBytes) {
    MidiFile score;
    score.addTrack(2);
    score.addMetaEvent(1, 0, 3, "Pedal");
    const std::string path = writetemp(Bytes(200, 0x55));
    EXPECT_EQ(score.write(path.c_str()), 1);
    // The old, longer content is cut away.
    EXPECT_EQ(readbytes(path), written(score));
}

TEST(WriterFileDeath, UnwritablePath) {
    MidiFile score;
    EXPECT_EXIT(
        {
            onlystdout();
            score.write("/nonexistent/vennor/out.mid");
        },
        ExitedWithCode(1), "^Error: could not write: /nonexistent/vennor/out.mid\n$");
}

} // namespace
