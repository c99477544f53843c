// Notes and program changes placed in the output score: seconds back to
// ticks, the shortest note, status bytes, and the events that have no tick.
#include <cmath>
#include <limits>

#include "rollfixture.h"

namespace {

TEST(NoteEmission, SecondsToTicks) {
    emptyscore();
    int tick = -5;
    ASSERT_TRUE(secondstotick(1.0, tick));
    EXPECT_EQ(tick, 272);
    playnote(10.0, 0.5, 60, 65, 3, 3);
    EXPECT_EQ(trackevents(3), (std::vector<Ev>{{2720, {0x92, 60, 65}}, {2856, {0x82, 60, 65}}}));
}

TEST(NoteEmission, ShortestNoteIsTenMilliseconds) {
    emptyscore();
    playnote(1.0, 0.0099, 40, 65, 1, 1);
    EXPECT_TRUE(trackevents(1).empty());
    playnote(1.0, 0.01, 40, 65, 1, 1);
    EXPECT_EQ(trackevents(1).size(), 2u);
    playnote(2.0, 1.0, 40, 0, 1, 1);
    EXPECT_EQ(trackevents(1).size(), 2u);
}

TEST(NoteEmission, TwoTickHoleIsSilentThreeTicksSound) {
    Roll roll;
    roll.hole(6, 192, 194).hole(8, 192, 195);
    interpret(roll);
    EXPECT_EQ(notes(1), (std::vector<Ev>{{192, {0x90, 37, 65}}, {195, {0x80, 37, 65}}}));
}

TEST(NoteEmission, ChannelNumberCountsFromOne) {
    emptyscore();
    playnote(0.0, 1.0, 50, 30, 2, 1);
    playnote(0.0, 1.0, 50, 30, 2, 3);
    playnote(0.0, 1.0, 50, 30, 2, 17);
    std::vector<Ev> e = trackevents(2);
    ASSERT_EQ(e.size(), 6u);
    EXPECT_EQ(e[0].bytes[0], 0x90);
    EXPECT_EQ(e[1].bytes[0], 0x80);
    EXPECT_EQ(e[2].bytes[0], 0x92);
    EXPECT_EQ(e[3].bytes[0], 0x82);
    EXPECT_EQ(e[4].bytes[0], 0x90); // channel numbers wrap at 16
}

TEST(NoteEmission, NoteOffNeverOnItsNoteOnTick) {
    // At 1 tick per quarter and 85.0 bpm a tick lasts 0.7 s: a 0.5 s note
    // truncates onto its start tick; its note-off goes one tick later.
    emptyscore();
    tpq = 1;
    playnote(0.8, 0.5, 36, 65, 1, 1);
    EXPECT_EQ(trackevents(1), (std::vector<Ev>{{1, {0x90, 36, 65}}, {2, {0x80, 36, 65}}}));
}

TEST(NoteEmission, OneTickHoleEndingOnItsStartTick) {
    // At 48 ticks per quarter a tick lasts 14.7 ms, so a one-tick hole
    // sounds, and its end time truncates onto tick 0. Left there, the sort
    // would put the note-off before the note-on and the note would not end.
    Roll roll(48);
    roll.hole(6, 0, 1);
    interpret(roll);
    EXPECT_EQ(notes(1), (std::vector<Ev>{{0, {0x90, 36, 65}}, {1, {0x80, 36, 65}}}));
    outputfile.sortTracks();
    std::vector<Ev> n = notes(1);
    EXPECT_EQ(n[0].bytes[0], 0x90);
    EXPECT_EQ(n[1].bytes[0], 0x80);
}

TEST(NoteEmission, UntimedEventsStayOut) {
    emptyscore();
    double nan = std::numeric_limits<double>::quiet_NaN();
    double inf = std::numeric_limits<double>::infinity();
    int tick = 77;
    EXPECT_FALSE(secondstotick(nan, tick));
    EXPECT_FALSE(secondstotick(inf, tick));
    EXPECT_FALSE(secondstotick(-1.0, tick));
    EXPECT_EQ(tick, 77);
    playnote(-1.0, 2.0, 36, 65, 1, 1); // starts before the roll
    playnote(nan, 1.0, 36, 65, 1, 1);
    playnote(1.0, nan, 36, 65, 1, 1);
    playnote(1.0, inf, 36, 65, 1, 1); // would end nowhere
    patchchange(nan, 10, 70);
    patchchange(-1.0, 10, 70);
    for (int track = 0; track < 16; track++) {
        EXPECT_TRUE(trackevents(track).empty()) << track;
    }
}

TEST(NoteEmission, TicksBeyond31BitsStayOut) {
    emptyscore();
    // 2^31 ticks is one too many; 2^31 - 1 is the last place.
    double lastsecond = (2147483647.0 * 60.0) / (192.0 * 85.0);
    int tick = 0;
    ASSERT_TRUE(secondstotick(lastsecond - 1.0, tick));
    EXPECT_GT(tick, 2147483000);
    EXPECT_FALSE(secondstotick(lastsecond + 1.0, tick));
    playnote(lastsecond - 1.0, 5.0, 36, 65, 1, 1); // its end would be outside
    patchchange(lastsecond + 1.0, 10, 70);
    EXPECT_TRUE(trackevents(1).empty());
    EXPECT_TRUE(trackevents(2).empty());
    playnote(lastsecond - 10.0, 5.0, 36, 65, 1, 1);
    EXPECT_EQ(trackevents(1).size(), 2u);
}

TEST(NoteEmission, ProgramChangePairOnSwellAndGreat) {
    emptyscore();
    patchchange(1.0, 42, 102);
    EXPECT_EQ(trackevents(2), (std::vector<Ev>{{272, {0xC1, 42}}}));
    EXPECT_EQ(trackevents(3), (std::vector<Ev>{{272, {0xC2, 102}}}));
    EXPECT_TRUE(trackevents(1).empty());
}

} // namespace
