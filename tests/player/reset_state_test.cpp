// resetplayerstate puts the program-wide state back, so runs in one process
// do not see each other.
#include "rollfixture.h"

namespace {

TEST(ResetState, TwoRunsGiveTheSameScore) {
    Roll roll;
    roll.tempo(0, 500000).meta(0, 2, "c").hole(123, 0, 96).hole(124, 48, 150);
    roll.hole(1, 200, 210).hole(7, 300, 400).hole(9, 400, 500);
    testing::internal::CaptureStdout();
    interpret(roll, true);
    std::string first_out = testing::internal::GetCapturedStdout();
    std::vector<std::vector<Ev>> first;
    for (int t = 0; t < 16; t++) {
        first.push_back(trackevents(t));
    }
    testing::internal::CaptureStdout();
    interpret(roll, true);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), first_out);
    for (int t = 0; t < 16; t++) {
        EXPECT_EQ(trackevents(t), first[t]) << t;
    }
}

TEST(ResetState, EveryVariableBackToItsStart) {
    Roll roll;
    roll.tempo(0, 8000000).required(0).hole(123, 0, 5).hole(2, 10, 20).hole(0, 30, 40);
    testing::internal::CaptureStdout();
    interpret(roll, true);
    spool onspool;
    onspool.on = true;
    spoolspeedup(onspool);
    ASSERT_GT(spoolrate(), 0.0);
    std::string op_string;
    size_t op_size = 0;
    serialisescore(op_string, op_size);
    fillopbuffer(op_string, op_size);
    testing::internal::GetCapturedStdout();
    optempovalid = true;
    specifiedtempo = 33.0;
    numtracks = 7;
    resetplayerstate();
    EXPECT_EQ(iptempo, 85.0);
    EXPECT_EQ(optempo, 85.0);
    EXPECT_EQ(specifiedtempo, 85.0);
    EXPECT_FALSE(optempovalid || iptempovalid || sc);
    EXPECT_EQ(tpq, 192);
    EXPECT_EQ(numtracks, 0);
    EXPECT_EQ(op_buffer, nullptr);
    EXPECT_EQ(os_buffer.str(), "");
    EXPECT_EQ(outputfile.getTrackCount(), 1);
    EXPECT_EQ(outputfile.getNumEvents(0), 0);
    EXPECT_EQ(outputfile.getTimeState(), 0);
    EXPECT_EQ(outputfile.getTicksPerQuarterNote(), 48);
    EXPECT_EQ(shades, 3);
    EXPECT_EQ(swellvel, 65);
    EXPECT_EQ(generalvel, 65);
    EXPECT_EQ(sopentime, -1000.0);
    EXPECT_EQ(sclosetime, -1000.0);
    EXPECT_EQ(sctol, 0.3);
    EXPECT_EQ(loopcount, 0);
    EXPECT_FALSE(sopen || sclose || stogether);
    EXPECT_EQ(outofrangecount, 0);
    EXPECT_EQ(requirednotecount, 0);
    EXPECT_FALSE(sc1on || sc2on || sc3on || sc4on || sc5on || sc6on);
    EXPECT_EQ(sc1 + sc2 + sc3 + sc4 + sc5 + sc6, 0);
    EXPECT_EQ(sc1A + sc2A + sc3A + sc4A + sc5A + sc6A, 0);
    EXPECT_EQ(result, "vennoroll");
    EXPECT_FALSE(speedup.on);
    EXPECT_FALSE(std::cout.flags() & std::ios::fixed);
}

} // namespace
