// The SoundFont 2 writer: the file's layout read back independently, and what FluidSynth
// makes of the pitch, loop and level fields it writes.
#include "offline_synth.h"
#include "sf2_reader.h"
#include "signal_measure.h"

#include "preset_layout.h"
#include "soundfont_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <unistd.h>

namespace {

// One second of a sine that stands `cents` above MIDI note `root`, looped over whole
// periods from 0.5 s, as a linked stereo pair.
SoundFontWriter tinyFont(int root, double cents, int coarseTune, int attenuation) {
    SoundFontWriter font;
    font.info.name = "abc";
    font.info.copyright = "free";
    double hz = 440.0 * std::pow(2.0, (root + cents / 100.0 - 69.0) / 12.0);
    // A loop of whole periods, as close as whole frames allow.
    int periods = static_cast<int>(std::round(0.1 * hz));
    uint32_t loopLength = static_cast<uint32_t>(std::lround(periods * kRate / hz));
    hz = periods * kRate / loopLength;
    for (uint16_t type : {SfLeftSample, SfRightSample}) {
        SfSample s;
        s.name = type == SfLeftSample ? "tone L" : "tone R";
        for (int i = 0; i < 44100; i++) {
            s.data.push_back(
                static_cast<int16_t>(std::lround(8000 * std::sin(2 * M_PI * hz * i / kRate))));
        }
        s.loopStart = 22050;
        s.loopEnd = 22050 + loopLength;
        s.originalPitch = static_cast<uint8_t>(root);
        s.pitchCorrection = static_cast<int8_t>(-cents);
        s.type = type;
        s.link = type == SfLeftSample ? 1 : 0;
        font.samples.push_back(s);
    }
    SfInstrument inst;
    inst.name = "Tone";
    SfZone global;
    global.generators.push_back(SfGenerator::value(GenSampleModes, 1));
    inst.zones.push_back(global);
    for (int sample : {0, 1}) {
        SfZone zone;
        // Out of order on purpose: the writer puts the key range first.
        zone.generators.push_back(SfGenerator::value(GenPan, sample == 0 ? -500 : 500));
        zone.generators.push_back(SfGenerator::range(GenKeyRange, 0, 127));
        if (coarseTune != 0) {
            zone.generators.push_back(SfGenerator::value(GenCoarseTune, coarseTune));
        }
        zone.target = sample;
        inst.zones.push_back(zone);
    }
    font.instruments.push_back(inst);
    SfPreset preset;
    preset.name = "Tone preset";
    preset.program = 5;
    preset.bank = 1;
    SfZone zone;
    if (attenuation > 0) {
        zone.generators.push_back(SfGenerator::value(GenInitialAttenuation, attenuation));
    }
    zone.target = 0;
    preset.zones.push_back(zone);
    font.presets.push_back(preset);
    return font;
}

std::string temporaryPath() {
    char path[] = "/tmp/vennor-sf2-XXXXXX";
    close(mkstemp(path));
    return path;
}

TEST(SoundFontWriter, LayoutReadsBackFieldByField) {
    SoundFontWriter font = tinyFont(69, 30, 0, 0);
    font.presets[0].name = "Tone preset of a long name";
    Sf2File f;
    ASSERT_TRUE(f.parse(font.serialize()));
    EXPECT_EQ(f.versionMajor, 2);
    EXPECT_EQ(f.versionMinor, 1);
    EXPECT_EQ(f.info["INAM"], "abc");
    EXPECT_EQ(f.info["ICOP"], "free");
    EXPECT_EQ(f.info["isng"], "EMU8000");

    ASSERT_EQ(f.samples.size(), 2u);
    EXPECT_EQ(f.samples[0].name, "tone L");
    EXPECT_EQ(f.samples[0].start, 0u);
    EXPECT_EQ(f.samples[0].end, 44100u);
    EXPECT_EQ(f.samples[0].loopStart, 22050u);
    // 46 silent frames after each sample.
    EXPECT_EQ(f.samples[1].start, 44146u);
    EXPECT_EQ(f.samples[1].loopStart, 44146u + 22050u);
    for (size_t i = 44100; i < 44146; i++) {
        EXPECT_EQ(f.pcm[i], 0);
    }
    EXPECT_EQ(f.pcm.size(), 2u * 44146u);
    EXPECT_EQ(f.samples[0].originalPitch, 69);
    EXPECT_EQ(f.samples[0].correction, -30);
    EXPECT_EQ(f.samples[0].type, 4);
    EXPECT_EQ(f.samples[0].link, 1);
    EXPECT_EQ(f.samples[1].type, 2);
    EXPECT_EQ(f.samples[1].link, 0);

    ASSERT_EQ(f.presets.size(), 1u);
    // A name field of 20 holds 19 characters and their terminating zero.
    EXPECT_EQ(f.presets[0].name, "Tone preset of a lo");
    EXPECT_EQ(f.presets[0].program, 5);
    EXPECT_EQ(f.presets[0].bank, 1);
    EXPECT_EQ(f.instrumentCount, 1u);

    // Instrument: a global zone, then two zones each opening with the key range and
    // closing with the sample, and the terminal records.
    ASSERT_EQ(f.instrumentBags.size(), 4u);
    EXPECT_EQ(f.instrumentGenerators[f.instrumentBags[0]].first, GenSampleModes);
    for (int zone = 1; zone <= 2; zone++) {
        const auto& first = f.instrumentGenerators[f.instrumentBags[zone]];
        const auto& last = f.instrumentGenerators[f.instrumentBags[zone + 1] - 1];
        EXPECT_EQ(first.first, GenKeyRange);
        EXPECT_EQ(first.second, 0x7F00);
        EXPECT_EQ(last.first, GenSampleId);
        EXPECT_EQ(last.second, zone - 1);
    }
    EXPECT_EQ(f.instrumentGenerators.back(), (std::pair<uint16_t, uint16_t>{0, 0}));
    EXPECT_EQ(f.presetGenerators.front(), (std::pair<uint16_t, uint16_t>{GenInstrument, 0}));
    EXPECT_EQ(f.listSizes["phdr"], 2u * 38);
    EXPECT_EQ(f.listSizes["inst"], 2u * 22);
    EXPECT_EQ(f.listSizes["shdr"], 3u * 46);
    EXPECT_EQ(f.listSizes["pmod"], 10u);
    EXPECT_EQ(f.listSizes["imod"], 10u);
}

// Root key, pitch correction and coarse tune as FluidSynth reads them: a sine recorded
// 30 cents sharp of A4 plays A4 at key 69.
TEST(SoundFontWriter, FluidSynthPlaysAtThePitchTheFieldsGive) {
    for (int coarse : {0, -12}) {
        std::string path = temporaryPath();
        std::string error;
        ASSERT_TRUE(tinyFont(69, 30, coarse, 0).write(path, error)) << error;
        OfflineSynth synth(path);
        ASSERT_TRUE(synth.isLoaded());
        for (int key : {69, 57}) {
            synth.reset();
            synth.select(0, 1, 5);
            synth.noteOn(0, key, 100);
            synth.render(1.5);
            double expected = 440.0 * std::pow(2.0, (key + coarse - 69) / 12.0);
            double hz = measureFundamentalHz(synth.left, 22050, kRate, expected);
            EXPECT_NEAR(centsBetween(hz, expected), 0.0, 0.5)
                << "key " << key << " coarse " << coarse;
        }
        std::remove(path.c_str());
    }
}

// FluidSynth applies the attenuation generator at 0.4 of its nominal centibels; the
// bank's levels rely on attenuationAmount allowing for that.
TEST(SoundFontWriter, AttenuationAmountLowersTheLevelByThoseDecibels) {
    double levels[2];
    for (int i = 0; i < 2; i++) {
        std::string path = temporaryPath();
        std::string error;
        ASSERT_TRUE(tinyFont(69, 0, 0, i == 0 ? 0 : attenuationAmount(6.0)).write(path, error));
        OfflineSynth synth(path);
        ASSERT_TRUE(synth.isLoaded());
        synth.select(0, 1, 5);
        synth.noteOn(0, 69, 100);
        synth.render(0.6);
        levels[i] = levelDb(synth.left, 4410, synth.frames());
        std::remove(path.c_str());
    }
    EXPECT_NEAR(levels[0] - levels[1], 6.0, 0.2);
}

TEST(SoundFontWriter, WritesTheWholeFileOrReportsWhyNot) {
    SoundFontWriter font = tinyFont(60, 0, 0, 0);
    std::string path = temporaryPath();
    std::string error;
    ASSERT_TRUE(font.write(path, error)) << error;
    Sf2File back;
    ASSERT_TRUE(back.read(path));
    EXPECT_EQ(back.pcm.size(), 2u * 44146u);
    EXPECT_NE(access((path + ".part").c_str(), F_OK), 0);
    std::remove(path.c_str());

    EXPECT_FALSE(font.write("/nonexistent/dir/bank.sf2", error));
    EXPECT_EQ(error, "cannot create /nonexistent/dir/bank.sf2.part");
}

} // namespace
