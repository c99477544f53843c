// Laying registrations out as instruments and presets: which pipe sounds each key of a
// stop at 16', 8', 4', 2' or 1', and at what level; and the bank's own registration table.
#include "preset_layout.h"
#include "registration.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>

namespace {

OrganRank makeRank(const std::string& folder, int harmonic, int lowKey, int highKey) {
    OrganRank r;
    r.folder = folder;
    r.name = folder;
    r.harmonicNumber = harmonic;
    for (int key = lowKey; key <= highKey; key++) {
        // One recording for each pair of keys, played twice as loud on the lower key.
        int recorded = key - (key - lowKey) % 2;
        r.pipes.push_back(
            {key, folder + "/" + std::to_string(recorded) + ".wav", key == recorded ? 2.0 : 1.0});
    }
    return r;
}

std::map<std::string, OrganRank> testRanks() {
    return {{"Big8", makeRank("Big8", 8, 24, 108)}, {"Picc2", makeRank("Picc2", 32, 36, 96)}};
}

struct ZoneView {
    int key = -1;
    int coarse = 0;
    int attenuation = 0;
    int target = -1;
    int exclusiveClass = 0;
    int cutoff = -1; // filter generators, where the release sweeps
    int modEnvToCutoff = 0;
    int modEnvRelease = 0;
};

std::vector<ZoneView> zonesOf(const SfInstrument& inst) {
    std::vector<ZoneView> out;
    for (const SfZone& z : inst.zones) {
        if (z.target < 0) {
            continue;
        }
        ZoneView v;
        v.target = z.target;
        for (const SfGenerator& g : z.generators) {
            if (g.type == GenKeyRange) {
                v.key = g.amount & 0xFF;
                EXPECT_EQ(g.amount >> 8, v.key) << "one key per zone";
            } else if (g.type == GenCoarseTune) {
                v.coarse = static_cast<int16_t>(g.amount);
            } else if (g.type == GenInitialAttenuation) {
                v.attenuation = g.amount;
            } else if (g.type == GenExclusiveClass) {
                v.exclusiveClass = g.amount;
            } else if (g.type == GenInitialFilterFc) {
                v.cutoff = g.amount;
            } else if (g.type == GenModEnvToFilterFc) {
                v.modEnvToCutoff = static_cast<int16_t>(g.amount);
            } else if (g.type == GenReleaseModEnv) {
                v.modEnvRelease = static_cast<int16_t>(g.amount);
            }
        }
        out.push_back(v);
    }
    return out;
}

ZoneView zoneForKey(const SfInstrument& inst, int key) {
    for (const ZoneView& z : zonesOf(inst)) {
        if (z.key == key) {
            return z;
        }
    }
    return {};
}

TEST(PresetLayout, EachKeyPlaysThePipeOfItsSoundingPitch) {
    std::vector<Registration> table = {
        {0, 7, "Chorus", 36, 96, {{"Big8", -12, 3.0}, {"Big8", 0, 0.0}, {"Big8", 12, 0.0}}},
        {0, 8, "High", 36, 96, {{"Picc2", 24, 0.0}, {"Big8", 36, 0.0}}}};
    PresetLayout layout;
    std::string error;
    ASSERT_TRUE(layout.build(testRanks(), table, error)) << error;
    std::map<std::string, RecordingSamples> samples;
    int next = 0;
    for (const std::string& file : layout.getRecordings()) {
        samples[file].left = next;
        samples[file].right = next + 1;
        next += 2;
    }
    SoundFontWriter font;
    layout.emit(samples, font);
    ASSERT_EQ(font.instruments.size(), 5u);
    auto sampleOf = [&](const std::string& file) { return samples.at(file).left; };

    const SfInstrument& sixteen = font.instruments[0];
    EXPECT_EQ(zonesOf(sixteen).size(), 2u * 61); // a zone per key and channel
    EXPECT_EQ(zoneForKey(sixteen, 36).target, sampleOf("Big8/24.wav"));
    EXPECT_EQ(zoneForKey(sixteen, 36).coarse, -12);
    EXPECT_EQ(zoneForKey(font.instruments[1], 60).coarse, 0);
    EXPECT_EQ(zoneForKey(font.instruments[1], 60).target, sampleOf("Big8/60.wav"));
    EXPECT_EQ(zoneForKey(font.instruments[2], 96).target, sampleOf("Big8/108.wav"));
    EXPECT_EQ(zoneForKey(font.instruments[2], 96).coarse, 12);
    // A 2' rank at 2': each key its own pipe, whose recording sounds two octaves up.
    EXPECT_EQ(zoneForKey(font.instruments[3], 50).target, sampleOf("Picc2/50.wav"));
    EXPECT_EQ(zoneForKey(font.instruments[3], 50).coarse, 24);
    // 1': three octaves up to the rank's top pipe, then back an octave.
    EXPECT_EQ(zoneForKey(font.instruments[4], 72).target, sampleOf("Big8/108.wav"));
    EXPECT_EQ(zoneForKey(font.instruments[4], 72).coarse, 36);
    EXPECT_EQ(zoneForKey(font.instruments[4], 73).target, sampleOf("Big8/96.wav"));
    EXPECT_EQ(zoneForKey(font.instruments[4], 73).coarse, 24);

    ASSERT_EQ(font.presets.size(), 2u);
    EXPECT_EQ(font.presets[0].program, 7);
    ASSERT_EQ(font.presets[0].zones.size(), 3u);
    EXPECT_EQ(font.presets[0].zones[0].target, 0);
    EXPECT_EQ(font.presets[0].zones[2].target, 2);
    const SfZone& softened = font.presets[0].zones[0];
    EXPECT_NE(std::find_if(softened.generators.begin(), softened.generators.end(),
                           [](const SfGenerator& g) {
                               return g.type == GenInitialAttenuation &&
                                      g.amount == attenuationAmount(3.0);
                           }),
              softened.generators.end());
}

TEST(PresetLayout, RecordingsAreStoredAtTheirLoudestUseAndSoftenedElsewhere) {
    std::vector<Registration> table = {{0, 1, "Eight", 36, 96, {{"Big8", 0, 0.0}}}};
    PresetLayout layout;
    std::string error;
    ASSERT_TRUE(layout.build(testRanks(), table, error)) << error;
    EXPECT_DOUBLE_EQ(layout.getRecordingGain("Big8/36.wav"), 2.0);
    std::map<std::string, RecordingSamples> samples;
    for (const std::string& file : layout.getRecordings()) {
        samples[file].left = 0;
    }
    SoundFontWriter font;
    layout.emit(samples, font);
    EXPECT_EQ(zoneForKey(font.instruments[0], 36).attenuation, 0);
    EXPECT_EQ(zoneForKey(font.instruments[0], 37).attenuation,
              attenuationAmount(20.0 * std::log10(2.0)));
}

// A released key's filter sweeps from wide open down to its recording's cutoff, moved by
// the pitch the key sounds at; re-striking a key on its manual ends the tail it rings with.
TEST(PresetLayout, ReleasedKeysSweepToTheirRecordingsCutoffAtTheirOwnPitch) {
    std::vector<Registration> table = {
        {0, 7, "Chorus", 36, 96, {{"Big8", -12, 0.0}, {"Big8", 0, 0.0}, {"Big8", 12, 0.0}}}};
    PresetLayout layout;
    std::string error;
    ASSERT_TRUE(layout.build(testRanks(), table, error)) << error;
    std::map<std::string, RecordingSamples> samples;
    for (const std::string& file : layout.getRecordings()) {
        samples[file].left = 0;
    }
    RecordingSamples& swept = samples.at("Big8/60.wav");
    swept.rootKey = 60;
    swept.release = {2.0, 6000.0, 0.1, 0.0};
    SoundFontWriter font;
    layout.emit(samples, font);
    ASSERT_EQ(font.instruments.size(), 3u);
    const struct {
        int instrument, key, cutoff; // -1: no sweep
    } cases[] = {{0, 72, 6000}, {1, 60, 6000}, {1, 61, 6100}, {2, 48, 6000}, {1, 62, -1}};
    for (const auto& c : cases) {
        const ZoneView z = zoneForKey(font.instruments[static_cast<size_t>(c.instrument)], c.key);
        EXPECT_EQ(z.exclusiveClass, c.key) << c.key;
        EXPECT_EQ(z.cutoff, c.cutoff) << c.instrument << " " << c.key;
        if (c.cutoff >= 0) {
            EXPECT_EQ(z.cutoff + z.modEnvToCutoff, 13500) << "held, wide open";
            EXPECT_EQ(z.modEnvRelease, -3986) << "0.1 s in timecents";
        }
    }
}

TEST(PresetLayout, ReportsWhatTheOrganCannotPlay) {
    PresetLayout layout;
    std::string error;
    std::vector<Registration> missing = {{0, 1, "Nope", 36, 96, {{"Nope8", 0, 0.0}}}};
    EXPECT_FALSE(layout.build(testRanks(), missing, error));
    EXPECT_EQ(error, "the organ definition has no rank Nope8");

    std::vector<Registration> longName = {
        {0, 1, "A name of twenty chars", 36, 96, {{"Big8", 0, 0.0}}}};
    EXPECT_FALSE(layout.build(testRanks(), longName, error));
    EXPECT_EQ(error, "registration name longer than 19 characters: A name of twenty chars");

    std::map<std::string, OrganRank> gap = testRanks();
    auto& pipes = gap.at("Big8").pipes;
    pipes.erase(
        std::remove_if(pipes.begin(), pipes.end(), [](const OrganPipe& p) { return p.key == 50; }),
        pipes.end());
    std::vector<Registration> eight = {{0, 1, "Eight", 36, 96, {{"Big8", 0, 0.0}}}};
    EXPECT_FALSE(layout.build(gap, eight, error));
    EXPECT_EQ(error, "rank Big8 has no pipe for key 50");
}

TEST(OrganRegistrations, CoverEveryProgramThePlayerSelects) {
    std::set<int> bankZero, bankOne, drums;
    for (const Registration& r : organRegistrations()) {
        std::set<int>& bank = r.bank == 0 ? bankZero : r.bank == 1 ? bankOne : drums;
        EXPECT_TRUE(bank.insert(r.program).second) << "program " << r.program << " twice";
        EXPECT_EQ(r.stops.empty(), r.bank == 128) << r.name;
        // At most six ranks, twelve voices a key: chords stay within FluidSynth's polyphony.
        EXPECT_LE(r.stops.size(), 6u) << r.name;
        EXPECT_LE(r.name.size(), 19u);
        for (const StopChoice& s : r.stops) {
            std::string name = stopName(s.rank, s.transpose);
            EXPECT_EQ(name.back(), '\'') << s.rank << " " << s.transpose << " has no stop name";
        }
    }
    // A stop sounds the pitch its name gives in feet: 8' at the key, an octave up for
    // every halving ("Nasard 2 2/3'" a twelfth).
    for (const OrganStop* stop : organStops()) {
        const std::string name = stop->name;
        int whole = 0, numerator = 0, denominator = 1;
        std::sscanf(name.c_str() + name.find_first_of("0123456789"), "%d %d/%d", &whole, &numerator,
                    &denominator);
        const double feet = whole + static_cast<double>(numerator) / denominator;
        EXPECT_EQ(stop->transpose, std::lround(12.0 * std::log2(8.0 / feet))) << name;
    }
    std::set<int> expected = {0};
    for (int control = 1; control <= 6; control++) {
        for (int k = 0; k < 4; k++) {
            expected.insert(10 * control + k);
            expected.insert(10 * control + 60 + k);
        }
    }
    EXPECT_EQ(bankZero, expected);
    EXPECT_EQ(bankOne, (std::set<int>{0, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(drums, std::set<int>{0});
}

} // namespace
