// Reading a GrandOrgue organ definition: which recording sounds each key of a rank, and
// how loud the voicer made it.
#include "organ_definition.h"

#include <gtest/gtest.h>

namespace {

// Latin-1, as the sample set writes it: "Récit" with é as the byte 0xE9.
const std::string kOrgan = std::string("; comment\r\n"
                                       "[Organ]\r\n"
                                       "ChurchName=Demo\r\n"
                                       "[WindchestGroup001]\r\n"
                                       "Name=R\xE9"
                                       "cit\r\n"
                                       "[Stop001]\r\n"
                                       "Name=Flute 8'\r\n"
                                       "NumberOfLogicalPipes=3\r\n"
                                       "FirstAccessiblePipeLogicalPipeNumber=001\r\n"
                                       "FirstAccessiblePipeLogicalKeyNumber=013\r\n"
                                       "AmplitudeLevel=200\r\n"
                                       "HarmonicNumber=8\r\n"
                                       "Pipe001=Flute8\\042-F#.wav\r\n"
                                       "Pipe001PitchTuning=-600\r\n"
                                       "Pipe002=Flute8\\043-G.wav\r\n"
                                       "Pipe002AmplitudeLevel=50\r\n"
                                       "Pipe003=Flute8\\042-F#.wav\r\n"
                                       "[Stop002]\r\n"
                                       "Name=Flute 4'\r\n"
                                       "NumberOfLogicalPipes=2\r\n"
                                       "HarmonicNumber=16\r\n"
                                       "Pipe001=REF:001:001:013\r\n"
                                       "Pipe002=REF:001:001:014\r\n"
                                       "[Stop003]\r\n"
                                       "Name=Piccolo 2'\r\n"
                                       "NumberOfLogicalPipes=1\r\n"
                                       "FirstAccessiblePipeLogicalKeyNumber=13\r\n"
                                       "HarmonicNumber=32\r\n"
                                       "Pipe001=Picc2\\042-F#.wav\r\n"
                                       "[Stop004]\r\n"
                                       "Name=Mixed\r\n"
                                       "NumberOfLogicalPipes=2\r\n"
                                       "Pipe001=Picc2\\042-F#.wav\r\n"
                                       "Pipe002=Flute8\\043-G.wav\r\n");

TEST(OrganDefinition, ReadsSectionsAndConvertsLatin1) {
    OrganDefinition organ;
    std::string error;
    ASSERT_TRUE(organ.parse(kOrgan, error)) << error;
    ASSERT_NE(organ.getValue("Organ", "ChurchName"), nullptr);
    EXPECT_EQ(*organ.getValue("Organ", "ChurchName"), "Demo");
    EXPECT_EQ(*organ.getValue("WindchestGroup001", "Name"), "R\xC3\xA9"
                                                            "cit");
    EXPECT_EQ(organ.getInt("Stop001", "AmplitudeLevel", 100), 200);
    EXPECT_EQ(organ.getInt("Stop001", "Missing", 7), 7);
    EXPECT_EQ(organ.getValue("Stop009", "Name"), nullptr);
    EXPECT_FALSE(organ.parse("no sections here\n", error));
    EXPECT_EQ(error, "no [section] in the organ definition");
}

TEST(OrganDefinition, RanksMapKeysToRecordingsWithTheirLevels) {
    OrganDefinition organ;
    std::string error;
    ASSERT_TRUE(organ.parse(kOrgan, error));
    std::map<std::string, OrganRank> ranks = organ.findRanks();
    // Stops built of references, or of recordings from several folders, are no ranks.
    ASSERT_EQ(ranks.size(), 2u);
    const OrganRank& flute = ranks.at("Flute8");
    EXPECT_EQ(flute.name, "Flute 8'");
    EXPECT_EQ(flute.soundingOffset(), 0);
    ASSERT_EQ(flute.pipes.size(), 3u);
    // Logical key 13 is C2, MIDI 36.
    EXPECT_EQ(flute.pipes[0].key, 36);
    EXPECT_EQ(flute.pipes[0].file, "Flute8/042-F#.wav");
    EXPECT_DOUBLE_EQ(flute.pipes[0].gain, 2.0);
    EXPECT_EQ(flute.pipes[1].key, 37);
    EXPECT_DOUBLE_EQ(flute.pipes[1].gain, 1.0);
    ASSERT_NE(flute.pipeForKey(38), nullptr);
    EXPECT_EQ(flute.pipeForKey(38)->file, "Flute8/042-F#.wav");
    EXPECT_EQ(flute.pipeForKey(39), nullptr);
    EXPECT_EQ(ranks.at("Picc2").soundingOffset(), 24);
}

TEST(OrganDefinition, TheStopWithMostPipesSpeaksForAFolder) {
    OrganDefinition organ;
    std::string error;
    ASSERT_TRUE(organ.parse(kOrgan + "[Stop005]\nNumberOfLogicalPipes=1\nHarmonicNumber=4\n"
                                     "Pipe001=Flute8\\042-F#.wav\n",
                            error));
    EXPECT_EQ(organ.findRanks().at("Flute8").pipes.size(), 3u);
}

} // namespace
