// The built bank as the player meets it: FluidSynth recognises and loads it, every program
// number the player can select is in bank 0 and sounds, and the recordings' authors and
// licence travel in its INFO chunk.
#include "offline_synth.h"
#include "sf2_reader.h"
#include "signal_measure.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<int> playerPrograms() {
    std::vector<int> programs = {0};
    for (int control = 1; control <= 6; control++) {
        for (int k = 0; k < 4; k++) {
            programs.push_back(10 * control + k);
            programs.push_back(10 * control + 60 + k);
        }
    }
    return programs;
}

TEST(BankPrograms, FluidSynthRecognisesAndLoadsTheBank) {
    EXPECT_TRUE(fluid_is_soundfont(bankPath()));
    OfflineSynth synth(bankPath());
    EXPECT_TRUE(synth.isLoaded());
}

std::vector<std::string> warnings;

void collectWarning(int, const char* message, void*) {
    warnings.emplace_back(message);
}

// The player loads the bank with presets reset under GS bank select; FluidSynth then looks
// for a program on every channel, the drum channel's in bank 128 too, and warns of any
// it misses. A bank that leaves one out makes every run of the player print a warning.
TEST(BankPrograms, LoadingAsThePlayerDoesRaisesNoWarning) {
    fluid_settings_t* settings = new_fluid_settings();
    fluid_settings_setnum(settings, "synth.gain", 1.0);
    fluid_settings_setstr(settings, "synth.midi-bank-select", "gs");
    fluid_synth_t* synth = new_fluid_synth(settings);
    warnings.clear();
    fluid_set_log_function(FLUID_WARN, collectWarning, nullptr);
    fluid_set_log_function(FLUID_ERR, collectWarning, nullptr);
    int id = fluid_synth_sfload(synth, bankPath(), 1);
    fluid_synth_system_reset(synth);
    fluid_set_log_function(FLUID_WARN, nullptr, nullptr);
    fluid_set_log_function(FLUID_ERR, fluid_default_log_function, nullptr);
    delete_fluid_synth(synth);
    delete_fluid_settings(settings);
    EXPECT_GE(id, 0);
    for (const std::string& w : warnings) {
        ADD_FAILURE() << "FluidSynth: " << w;
    }
}

TEST(BankPrograms, EveryPlayerProgramIsInBankZero) {
    OfflineSynth synth(bankPath());
    ASSERT_TRUE(synth.isLoaded());
    fluid_sfont_t* font = fluid_synth_get_sfont(synth.get(), 0);
    ASSERT_NE(font, nullptr);
    std::vector<int> programs = playerPrograms();
    EXPECT_EQ(programs.size(), 49u);
    for (int program : programs) {
        EXPECT_NE(fluid_sfont_get_preset(font, 0, program), nullptr) << "program " << program;
    }
    // Nothing else in bank 0 that a roll could select by mistake.
    int inBankZero = 0;
    fluid_sfont_iteration_start(font);
    while (fluid_preset_t* preset = fluid_sfont_iteration_next(font)) {
        inBankZero += fluid_preset_get_banknum(preset) == 0;
    }
    EXPECT_EQ(inBankZero, 49);
}

TEST(BankPrograms, EveryPlayerProgramSoundsOnItsChannel) {
    OfflineSynth synth(bankPath());
    ASSERT_TRUE(synth.isLoaded());
    for (int program : playerPrograms()) {
        int channel = program == 0 ? 0 : program < 70 ? 1 : 2;
        int key = program == 0 ? 36 : 60;
        synth.reset();
        // Selected as the player selects it: a bare program change, bank select untouched.
        fluid_synth_program_change(synth.get(), channel, program);
        synth.noteOn(channel, key, 65);
        synth.render(0.6);
        EXPECT_GT(levelDb(synth.left, 13230, synth.frames()), -50.0) << "program " << program;
        EXPECT_GT(levelDb(synth.right, 13230, synth.frames()), -50.0) << "program " << program;
    }
}

// The measuring tests play one note after another on one synthesiser.
TEST(BankPrograms, ResetBetweenMeasurementsLeavesNoVoiceSounding) {
    OfflineSynth synth(bankPath());
    ASSERT_TRUE(synth.isLoaded());
    fluid_synth_program_change(synth.get(), 2, 120);
    synth.noteOn(2, 60, 65);
    synth.render(0.3);
    EXPECT_GT(synth.activeVoices(), 0);
    synth.reset();
    EXPECT_EQ(synth.activeVoices(), 0);
    synth.render(0.1);
    EXPECT_LT(levelDb(synth.left, 0, synth.frames()), -120.0);
}

TEST(BankPrograms, InfoCreditsTheRecordingsAndTheirLicence) {
    Sf2File font;
    ASSERT_TRUE(font.read(bankPath()));
    EXPECT_EQ(font.versionMajor, 2);
    EXPECT_EQ(font.info["INAM"], "vennorbank-0");
    for (const char* id : {"ICOP", "ICMT"}) {
        const std::string& text = font.info[id];
        EXPECT_NE(text.find("Lars Palo"), std::string::npos) << id;
        EXPECT_NE(text.find("Milan Digital Audio"), std::string::npos) << id;
        EXPECT_NE(text.find("GrandOrgue contributors"), std::string::npos) << id;
        EXPECT_NE(text.find("GPL"), std::string::npos) << id;
        EXPECT_NE(text.find("2.5"), std::string::npos) << id;
    }
}

TEST(BankPrograms, SamplesAreStereoPairsLinkedToEachOther) {
    Sf2File font;
    ASSERT_TRUE(font.read(bankPath()));
    ASSERT_EQ(font.samples.size() % 2, 0u);
    for (size_t i = 0; i < font.samples.size(); i++) {
        const Sf2SampleHeader& s = font.samples[i];
        ASSERT_LT(static_cast<size_t>(s.link), font.samples.size()) << s.name;
        const Sf2SampleHeader& other = font.samples[static_cast<size_t>(s.link)];
        EXPECT_EQ(other.link, static_cast<int>(i)) << s.name;
        EXPECT_EQ(s.type + other.type, 6) << s.name; // one left (4), one right (2)
        EXPECT_EQ(s.loopStart - s.start, other.loopStart - other.start) << s.name;
        EXPECT_EQ(s.loopEnd - s.start, other.loopEnd - other.start) << s.name;
    }
}

} // namespace
