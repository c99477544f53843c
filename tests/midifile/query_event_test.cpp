// Questions about one event: note, meta, tempo and program-change tests, the
// command and channel nibbles, and the tempo in its several units.
#include <cmath>
#include <initializer_list>

#include <gtest/gtest.h>

#include "../support/bytes.h"
#include "MidiFile.h"

namespace {

MFEvent eventOf(std::initializer_list<int> values) {
    return MFEvent(0, 0, bytearray(values));
}

} // namespace

TEST(QueryEvent, NoteOnAndNoteOffFollowVelocityAndSize) {
    MFEvent silentOn = eventOf({0x90, 0x3C, 0x00});
    EXPECT_EQ(silentOn.isNoteOn(), 0);
    EXPECT_EQ(silentOn.isNoteOff(), 1);

    MFEvent off = eventOf({0x80, 0x3C, 0x40});
    EXPECT_EQ(off.isNoteOff(), 1);
    EXPECT_EQ(off.isNoteOn(), 0);

    MFEvent on = eventOf({0x93, 0x3C, 0x40});
    EXPECT_EQ(on.isNoteOn(), 1);
    EXPECT_EQ(on.isNoteOff(), 0);

    MFEvent tooLong = eventOf({0x90, 0x3C, 0x40, 0x00});
    EXPECT_EQ(tooLong.isNoteOn(), 0);
    EXPECT_EQ(tooLong.isNoteOff(), 0);

    MFEvent tooShort = eventOf({0x80, 0x3C});
    EXPECT_EQ(tooShort.isNoteOff(), 0);
}

TEST(QueryEvent, MetaNeedsMoreThanTwoBytes) {
    EXPECT_EQ(eventOf({0xFF, 0x2F, 0x00}).isMeta(), 1);
    EXPECT_EQ(eventOf({0xFF, 0x2F}).isMeta(), 0);
    EXPECT_EQ(eventOf({0xF0, 0x01, 0xF7}).isMeta(), 0);
}

TEST(QueryEvent, TempoIsTypeAndSizeOnly) {
    MFEvent tempo = eventOf({0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20});
    EXPECT_EQ(tempo.isTempo(), 1);
    EXPECT_EQ(tempo.getTempoMicro(), 500000);
    EXPECT_EQ(tempo.getTempoMicroseconds(), 500000);
    EXPECT_DOUBLE_EQ(tempo.getTempoBPM(), 120.0);
    EXPECT_DOUBLE_EQ(tempo.getTempoSeconds(), 0.5);
    EXPECT_DOUBLE_EQ(tempo.getTempoTPS(48), 96.0);
    EXPECT_DOUBLE_EQ(tempo.getTempoSPT(48), 1.0 / 96.0);

    // The length byte is not examined.
    MFEvent wrongLength = eventOf({0xFF, 0x51, 0x7F, 0x0F, 0x42, 0x40});
    EXPECT_EQ(wrongLength.isTempo(), 1);
    EXPECT_EQ(wrongLength.getTempoMicro(), 1000000);
    EXPECT_DOUBLE_EQ(wrongLength.getTempoBPM(), 60.0);

    MFEvent largest = eventOf({0xFF, 0x51, 0x03, 0xFF, 0xFF, 0xFF});
    EXPECT_EQ(largest.getTempoMicro(), 16777215);
}

TEST(QueryEvent, ShortTempoGivesMinusOneEverywhere) {
    MFEvent shortTempo = eventOf({0xFF, 0x51, 0x03, 0x07, 0xA1});
    EXPECT_EQ(shortTempo.isTempo(), 0);
    EXPECT_EQ(shortTempo.getTempoMicro(), -1);
    EXPECT_EQ(shortTempo.getTempoSeconds(), -1.0);
    EXPECT_EQ(shortTempo.getTempoBPM(), -1.0);
    EXPECT_EQ(shortTempo.getTempoTPS(48), -1.0);
    EXPECT_EQ(shortTempo.getTempoSPT(48), -1.0);

    MFEvent otherMeta = eventOf({0xFF, 0x58, 0x03, 0x07, 0xA1, 0x20});
    EXPECT_EQ(otherMeta.isTempo(), 0);
    EXPECT_EQ(otherMeta.getTempoMicro(), -1);
}

TEST(QueryEvent, ZeroTempoGivesInfiniteRates) {
    MFEvent zero = eventOf({0xFF, 0x51, 0x03, 0x00, 0x00, 0x00});
    EXPECT_EQ(zero.getTempoMicro(), 0);
    EXPECT_EQ(zero.getTempoSeconds(), 0.0);
    EXPECT_TRUE(std::isinf(zero.getTempoBPM()));
    EXPECT_TRUE(std::isinf(zero.getTempoTPS(48)));
    EXPECT_EQ(zero.getTempoSPT(48), 0.0);
}

TEST(QueryEvent, TimbreAndNibbles) {
    MFEvent program = eventOf({0xC5, 0x13});
    EXPECT_EQ(program.isTimbre(), 1);
    EXPECT_EQ(program.getCommandNibble(), 0xC0);
    EXPECT_EQ(program.getChannelNibble(), 5);

    EXPECT_EQ(eventOf({0xC5, 0x13, 0x00}).isTimbre(), 0);
    EXPECT_EQ(eventOf({0xB5, 0x13}).isTimbre(), 0);
    EXPECT_EQ(eventOf({0xFF, 0x51}).getCommandNibble(), 0xF0);
    EXPECT_EQ(eventOf({0xFF, 0x51}).getChannelNibble(), 0x0F);
}

// Both kinds of empty event: a default one (bytes grow on indexing) and a copy
// (bytes do not). Neither may be touched, so its size stays 0.
TEST(QueryEvent, EventWithoutBytesAnswersNoAndStaysEmpty) {
    MFEvent growing;
    MFEvent fixed(0, 0, bytearray({}));
    for (MFEvent* event : {&growing, &fixed}) {
        EXPECT_EQ(event->isNoteOn(), 0);
        EXPECT_EQ(event->isNoteOff(), 0);
        EXPECT_EQ(event->isMeta(), 0);
        EXPECT_EQ(event->isTempo(), 0);
        EXPECT_EQ(event->isTimbre(), 0);
        EXPECT_EQ(event->getCommandNibble(), -1);
        EXPECT_EQ(event->getChannelNibble(), -1);
        EXPECT_EQ(event->getTempoMicro(), -1);
        EXPECT_EQ(event->getTempoBPM(), -1.0);
        EXPECT_EQ(event->getTempoTPS(96), -1.0);
        EXPECT_EQ(event->data.getSize(), 0);
    }
}

TEST(QueryScore, AsksTheEventAtTrackAndIndex) {
    MidiFile score;
    score.setTicksPerQuarterNote(48);
    score.addTrack();
    score.addEvent(1, 0, bytearray({0x91, 0x40, 0x50}));
    score.addMetaEvent(1, 0, 0x51, bytearray({0x07, 0xA1, 0x20}));
    score.addEvent(1, 0, bytearray({0xC2, 0x05}));

    EXPECT_EQ(score.isNoteOn(1, 0), 1);
    EXPECT_EQ(score.isNoteOff(1, 0), 0);
    EXPECT_EQ(score.getChannelNibble(1, 0), 1);
    EXPECT_EQ(score.isMeta(1, 1), 1);
    EXPECT_EQ(score.isTempo(1, 1), 1);
    EXPECT_EQ(score.getTempoMicro(1, 1), 500000);
    EXPECT_EQ(score.getTempoMicroseconds(1, 1), 500000);
    EXPECT_DOUBLE_EQ(score.getTempoSeconds(1, 1), 0.5);
    EXPECT_DOUBLE_EQ(score.getTempoBPM(1, 1), 120.0);
    EXPECT_DOUBLE_EQ(score.getTempoTPS(1, 1), 96.0);
    EXPECT_DOUBLE_EQ(score.getTempoSPT(1, 1), 1.0 / 96.0);
    EXPECT_EQ(score.isTimbre(1, 2), 1);
    EXPECT_EQ(score.getCommandNibble(1, 2), 0xC0);

    // The score's own resolution is the one used.
    score.setTicksPerQuarterNote(96);
    EXPECT_DOUBLE_EQ(score.getTempoTPS(1, 1), 192.0);
    EXPECT_DOUBLE_EQ(score.getTempoSPT(1, 1), 1.0 / 192.0);
}

TEST(QueryScore, OnePastTheEndAppendsAnEmptyEventThatAnswersNo) {
    MidiFile score;
    score.addEvent(0, 0, bytearray({0x90, 0x40, 0x50}));
    EXPECT_EQ(score.getCommandNibble(0, 1), -1);
    EXPECT_EQ(score.getNumEvents(0), 2);
    EXPECT_EQ(score.isTempo(0, 1), 0);
    EXPECT_EQ(score.getNumEvents(0), 2);
}

TEST(QueryScoreDeathTest, BadTrackOrIndexEndsWithIndexMessage) {
    MidiFile score;
    score.addEvent(0, 0, bytearray({0x90, 0x40, 0x50}));
    EXPECT_EXIT(score.isNoteOn(1, 0), ::testing::ExitedWithCode(1),
                "Error: accessing invalid array location 1 Maximum is 0");
    EXPECT_EXIT(score.getTempoBPM(0, 2), ::testing::ExitedWithCode(1),
                "Error: accessing invalid array location 2 Maximum is 0");
    EXPECT_EXIT(score.isMeta(0, -1), ::testing::ExitedWithCode(1),
                "Error: accessing invalid array location -1 Maximum is 0");
}
