// The player's FluidSynth has 256 voices, and the pipes' releases keep voices sounding for
// seconds after their keys: full passages ask for more. FluidSynth then kills the
// lowest-scoring voice at once (released ones first, the oldest first). Whether that can
// be heard is measured: each score is rendered twice in step, with 256 voices and with
// 4096 (never short of voices), and compared in 50 ms frames; a held note sounds in both.
#include "offline_synth.h"

#include "../support/cases.h"
#include "../support/paths.h"
#include "prepare.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr double kFrame = 0.05;
constexpr double kTail = 4.0; // rendered after the score's last note-off

enum class Score { LoudPassage, DemoRoll };

struct VoicesCase {
    std::string name;
    Score score;
};

void PrintTo(const VoicesCase& c, std::ostream* os) {
    *os << c.name;
}

// Voices sounding for a key still held (not released).
int heldVoices(fluid_synth_t* synth) {
    static fluid_voice_t* voices[4096];
    int count = 0;
    fluid_synth_get_voicelist(synth, voices, 4096, -1);
    for (int i = 0; i < 4096 && voices[i] != nullptr; i++) {
        count += fluid_voice_is_on(voices[i]);
    }
    return count;
}

// The two renders, side by side, frame by frame.
struct Comparison {
    std::vector<double> soundDb, differenceDb;
    int heldDiffer = 0; // frames where fewer held voices sound with 256 than with 4096
    int peakVoices = 0; // most voices the score asked for at once
    int stolenFrames = 0;

    void frame(OfflineSynth& few, OfflineSynth& many) {
        few.render(kFrame);
        many.render(kFrame);
        double sound = 0.0, difference = 0.0;
        for (size_t i = 0; i < many.frames(); i++) {
            sound += many.left[i] * many.left[i] + many.right[i] * many.right[i];
            double l = few.left[i] - many.left[i], r = few.right[i] - many.right[i];
            difference += l * l + r * r;
        }
        const double n = 2.0 * static_cast<double>(many.frames());
        soundDb.push_back(10.0 * std::log10(sound / n + 1e-30));
        differenceDb.push_back(10.0 * std::log10(difference / n + 1e-30));
        heldDiffer += heldVoices(few.get()) != heldVoices(many.get());
        peakVoices = std::max(peakVoices, many.activeVoices());
        stolenFrames += many.activeVoices() > few.activeVoices();
        for (OfflineSynth* s : {&few, &many}) {
            s->left.clear();
            s->right.clear();
        }
    }
};

// Four-note chords on both manuals every half second under the swell's and the great's
// biggest registrations, over a held pedal note.
void playLoudPassage(OfflineSynth& few, OfflineSynth& many, Comparison& c) {
    const int chords[][4] = {{60, 64, 67, 72}, {62, 65, 69, 74}, {64, 67, 71, 76},
                             {65, 69, 72, 77}, {67, 71, 74, 79}, {57, 60, 64, 69}};
    auto send = [&](auto event) {
        event(few);
        event(many);
    };
    send([](OfflineSynth& s) {
        fluid_synth_program_change(s.get(), 0, 0);
        fluid_synth_program_change(s.get(), 1, 53);
        fluid_synth_program_change(s.get(), 2, 113);
        s.noteOn(0, 36, 65);
    });
    const int* previous = nullptr;
    for (int step = 0; step <= 16; step++) {
        const int* chord = step < 16 ? chords[step % 6] : nullptr;
        send([&](OfflineSynth& s) {
            for (int channel : {1, 2}) {
                for (int i = 0; previous != nullptr && i < 4; i++) {
                    s.noteOff(channel, previous[i] - 12 * (channel - 1));
                }
                for (int i = 0; chord != nullptr && i < 4; i++) {
                    s.noteOn(channel, chord[i] - 12 * (channel - 1), 65);
                }
            }
            if (chord == nullptr) {
                s.noteOff(0, 36);
            }
        });
        previous = chord;
        for (int f = 0; f < (chord != nullptr ? 10 : static_cast<int>(kTail / kFrame)); f++) {
            c.frame(few, many);
        }
    }
}

// The demo roll's organ score, as the player hands it to FluidSynth.
void playDemoRoll(OfflineSynth& few, OfflineSynth& many, Comparison& c) {
    std::string score;
    size_t size = preparescore(testpath("VENNOR_DEMO_ROLL"), score);
    score.resize(size, '\0');
    fluid_player_t* players[] = {new_fluid_player(few.get()), new_fluid_player(many.get())};
    for (fluid_player_t* p : players) {
        fluid_player_add_mem(p, score.data(), score.size());
        fluid_player_play(p);
    }
    while (fluid_player_get_status(players[1]) == FLUID_PLAYER_PLAYING) {
        c.frame(few, many);
    }
    for (int f = 0; f < static_cast<int>(kTail / kFrame); f++) {
        c.frame(few, many);
    }
    for (fluid_player_t* p : players) {
        delete_fluid_player(p);
    }
}

class BankVoices : public ::testing::TestWithParam<VoicesCase> {};

// Stealing is unheard when what it took stands 30 dB or more under the sound, in every
// frame within 60 dB of the score's loudest.
TEST_P(BankVoices, StealingIsUnheardAndHeldNotesKeepSounding) {
    OfflineSynth few(bankPath(), 256), many(bankPath(), 4096);
    ASSERT_TRUE(few.isLoaded() && many.isLoaded());
    Comparison c;
    (GetParam().score == Score::LoudPassage ? playLoudPassage : playDemoRoll)(few, many, c);
    ASSERT_FALSE(c.soundDb.empty());
    const double loudest = *std::max_element(c.soundDb.begin(), c.soundDb.end());
    double margin = 300.0, at = 0.0;
    for (size_t f = 0; f < c.soundDb.size(); f++) {
        if (c.soundDb[f] >= loudest - 60.0 && c.soundDb[f] - c.differenceDb[f] < margin) {
            margin = c.soundDb[f] - c.differenceDb[f];
            at = static_cast<double>(f) * kFrame;
        }
    }
    std::printf("%s: at most %d voices asked for (256 short of them in %d frames of 50 ms); "
                "difference of the renders at least %.1f dB under the sound (at %.2f s)\n",
                GetParam().name.c_str(), c.peakVoices, c.stolenFrames, margin, at);
    EXPECT_GE(margin, 30.0);
    EXPECT_EQ(c.heldDiffer, 0) << "frames in which a held note lost voices";
}

INSTANTIATE_TEST_SUITE_P(Scores, BankVoices,
                         ::testing::Values(VoicesCase{"LoudPassage", Score::LoudPassage},
                                           VoicesCase{"DemoRoll", Score::DemoRoll}),
                         CaseName());

} // namespace
