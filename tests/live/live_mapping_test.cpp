// The organ score mapped for another organ, on a roll that uses every kind of
// hole: the whole stream each map makes, tick by tick; and each fault a map
// file can hold, told as one line naming the file, the line and the key.
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../player/rollfixture.h"
#include "../support/bytes.h"
#include "../support/cases.h"
#include "everyhole.h"
#include "mapfile.h"
#include "mapping.h"
#include "shadewatch.h"

namespace {

// The stream as lines "tick: bytes bytes ...", one line a tick.
std::string bytick(const std::vector<livemessage>& stream) {
    std::ostringstream out;
    for (size_t i = 0; i < stream.size(); i++) {
        if (i == 0 || stream[i].tick != stream[i - 1].tick) {
            out << (i == 0 ? "" : "\n") << stream[i].tick << ":";
        }
        out << " " << hexbytes(stream[i].bytes, static_cast<size_t>(stream[i].size));
    }
    return out.str();
}

struct MapCase {
    const char* name;
    const char* map; // a built-in map's name, or a map file's text
    std::vector<const char*> stream;
};

void PrintTo(const MapCase& c, std::ostream* out) {
    *out << c.name;
}

const MapCase maps[] = {
    {"ScoreMapIsTheOrganScore",
     "score",
     {"0: C000 C10A C246 902441 912441", "256: 802441 812441", "384: 923041", "448: 823041",
      "512: C114 C250 912541", "576: 812541", "1024: C134 C270", "1280: 912638", "1344: 812638",
      "1664: 922D01", "1728: 822D01 B07B00 B17B00 B27B00"}},
    // Only the stops that change: at 512 the swell adds its 4' flute and the
    // great trades its flute for the principal and 4'; all retired at the end.
    {"StopsMapDrawsEachStopOnce",
     "stops",
     {"0: 9F007F 9F017F 9F027F 9F217F 9F497F B10B7F 902464 912464", "256: 802464 812464",
      "384: 923064", "448: 823064", "512: 8F4900 9F227F 9F407F 9F417F 912564", "576: 812564",
      "800: B10B55", "1024: 9F237F 9F267F 9F287F 9F457F 9F497F 9F4B7F", "1088: B10B7F B10B55",
      "1280: 912664", "1344: 812664", "1664: 922D64",
      "1728: 822D64 8F0000 8F0100 8F0200 8F2100 8F2200 8F2300 8F2600 8F2800 8F4000 8F4100 "
      "8F4500 8F4900 8F4B00 B07B00 B17B00 B27B00 BF7B00"}},
    // Two swell stops on one controller: it stays drawn while either is.
    {"MapFileChangesChannelsStopsAndShades",
     "base = \"score\"\n[channels]\nswell = 5\n[notes]\nvelocity = 90\n"
     "[registration]\nmode = \"both\"\n[shades]\ncontroller = 7\nvalues = [10, 20, 30, 40]\n"
     "[stops.swell]\n\"Bourdon 8'\" = { controller = 20, channel = 14, on = 100, off = 1 }\n"
     "\"Flûte octaviante 4'\" = { controller = 20, channel = 14, on = 100, off = 1 }\n"
     "[stops.great]\n\"Montre 8'\" = { note = 60 }\n",
     {"0: BD1464 C000 C40A C246 B40728 90245A 94245A", "256: 80245A 84245A", "384: 92305A",
      "448: 82305A", "512: 9F3C7F C414 C250 94255A", "576: 84255A", "800: B4071E",
      "1024: C434 C270", "1088: B40728 B4071E", "1280: 94265A", "1344: 84265A", "1664: 922D5A",
      "1728: 822D5A 8F3C00 BD1401 B07B00 B27B00 B47B00 BD7B00 BF7B00"}},
};

class MapStream : public ::testing::TestWithParam<MapCase> {};

TEST_P(MapStream, TickByTick) {
    const MapCase& c = GetParam();
    livemap map;
    std::string error;
    if (!builtinmap(c.map, map)) {
        ASSERT_TRUE(parsemapfile(c.map, "map.toml", map, error)) << error;
    }
    Roll roll(256);
    everyhole(roll);
    resetplayerstate();
    watchshades();
    interpret(roll);
    outputfile.sortTracks();
    std::string expected;
    for (const char* line : c.stream) {
        expected += (expected.empty() ? "" : "\n") + std::string(line);
    }
    EXPECT_EQ(bytick(mapscore(outputfile, watchedshades(), map)), expected);
}

INSTANTIATE_TEST_SUITE_P(Maps, MapStream, ::testing::ValuesIn(maps), CaseName());

struct FaultCase {
    const char* name;
    const char* text;
    const char* line; // the whole line, or its start where the TOML reader words it
};

void PrintTo(const FaultCase& c, std::ostream* out) {
    *out << c.name;
}

const FaultCase faults[] = {
    {"NotToml", "[channels]\nswell = [", "map.toml:2: (file): "},
    {"UnknownKey", "base = \"stops\"\ncolour = 1\n", "map.toml:2: colour: unknown key"},
    {"UnknownBase", "base = \"organ\"\n", "map.toml:1: base: must be \"score\" or \"stops\""},
    {"ChannelNotANumber", "[channels]\n\nswell = \"two\"\n",
     "map.toml:3: channels.swell: must be a whole number from 1 to 16"},
    {"VelocityOutOfRange", "[notes]\nvelocity = 0\n",
     "map.toml:2: notes.velocity: must be a whole number from 1 to 127 or \"score\""},
    {"UnknownMode", "[registration]\nmode = \"pistons\"\n",
     "map.toml:2: registration.mode: must be \"programs\", \"stops\", \"both\" or \"none\""},
    {"ThreeShadeValues", "[shades]\nvalues = [0, 64, 127]\n",
     "map.toml:2: shades.values: must be four values, shades closed to open, each 0 to 127"},
    {"StopOfAnotherDivision", "[stops.swell]\n\"Montre 8'\" = \"none\"\n",
     "map.toml:2: stops.swell.\"Montre 8'\": not a stop of the swell"},
    {"StopBothNoteAndController", "[stops.great]\n\"Montre 8'\" = { note = 1, controller = 2 }\n",
     "map.toml:2: stops.great.\"Montre 8'\": needs either note or controller"},
    {"StopChannelOutOfRange", "[stops.pedal.\"Bourdon 8'\"]\nnote = 3\nchannel = 17\n",
     "map.toml:3: stops.pedal.\"Bourdon 8'\".channel: must be a whole number from 1 to 16"},
};

class MapFileFault : public ::testing::TestWithParam<FaultCase> {};

TEST_P(MapFileFault, IsOneLineNamingFileLineAndKey) {
    livemap map;
    std::string error;
    EXPECT_FALSE(parsemapfile(GetParam().text, "map.toml", map, error));
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    EXPECT_EQ(error.rfind(GetParam().line, 0), 0u) << error;
}

INSTANTIATE_TEST_SUITE_P(Faults, MapFileFault, ::testing::ValuesIn(faults), CaseName());

// --show-map prints a file that reads back as the very map.
TEST(MapFile, EveryBuiltInMapReadsBackFromItsOwnFile) {
    for (const char* name : {"score", "stops"}) {
        livemap builtin, read;
        std::string error;
        ASSERT_TRUE(builtinmap(name, builtin));
        ASSERT_TRUE(parsemapfile(writemapfile(builtin), "shown.toml", read, error)) << error;
        read.name = builtin.name;
        EXPECT_EQ(writemapfile(read), writemapfile(builtin));
    }
}

} // namespace
