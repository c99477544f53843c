// Reading RIFF/WAVE: PCM frames, the 'smpl' pitch and loops, the 'cue ' release marker.
#include "wave_bytes.h"

#include "wave_file.h"

#include <gtest/gtest.h>

namespace {

TEST(WaveFile, ReadsFramesPitchLoopsAndMarkers) {
    WaveBytes w;
    w.channels = {{0.5f, -0.25f, 0.0f, -1.0f}, {0.125f, 0.0f, 0.75f, 0.5f}};
    w.sampler = true;
    w.unityNote = 42;
    w.pitchFraction = 0x40000000; // a quarter of a semitone
    w.loops = {{1, 2}, {0, 3}};
    w.cues = {3};
    for (bool before : {true, false}) {
        w.samplerBeforeData = before; // the recordings carry it after the data
        WaveFile wave;
        std::string error;
        ASSERT_TRUE(wave.parse(w.build(), error)) << error;
        EXPECT_EQ(wave.getChannelCount(), 2);
        EXPECT_EQ(wave.getSampleRate(), 44100u);
        ASSERT_EQ(wave.getFrameCount(), 4u);
        EXPECT_FLOAT_EQ(wave.getChannel(0)[1], -0.25f);
        EXPECT_FLOAT_EQ(wave.getChannel(0)[3], -1.0f);
        EXPECT_FLOAT_EQ(wave.getChannel(1)[2], 0.75f);
        EXPECT_TRUE(wave.hasSampler());
        EXPECT_EQ(wave.getUnityNote(), 42u);
        EXPECT_DOUBLE_EQ(wave.getPitchFraction(), 0.25);
        ASSERT_EQ(wave.getLoops().size(), 2u);
        EXPECT_EQ(wave.getLoops()[0].start, 1u);
        EXPECT_EQ(wave.getLoops()[0].end, 2u);
        EXPECT_EQ(wave.getLoops()[1].end, 3u);
        ASSERT_EQ(wave.getCueOffsets().size(), 1u);
        EXPECT_EQ(wave.getCueOffsets()[0], 3u);
    }
}

TEST(WaveFile, TwentyFourBitFramesAreSignExtended) {
    std::vector<uint8_t> fmt, data;
    putLe(fmt, 1, 2);
    putLe(fmt, 1, 2);
    putLe(fmt, 48000, 4);
    putLe(fmt, 144000, 4);
    putLe(fmt, 3, 2);
    putLe(fmt, 24, 2);
    putLe(data, 0xC00000, 3); // -0.5
    putLe(data, 0x200000, 3); // +0.25
    putLe(data, 0x7FFFFF, 3);
    data.push_back(0x55); // a stray byte: not a whole frame
    std::vector<uint8_t> body = {'W', 'A', 'V', 'E'};
    putChunk(body, "fmt ", fmt);
    putChunk(body, "data", data);
    std::vector<uint8_t> file;
    putChunk(file, "RIFF", body);
    WaveFile wave;
    std::string error;
    ASSERT_TRUE(wave.parse(file, error)) << error;
    ASSERT_EQ(wave.getFrameCount(), 3u);
    EXPECT_FLOAT_EQ(wave.getChannel(0)[0], -0.5f);
    EXPECT_FLOAT_EQ(wave.getChannel(0)[1], 0.25f);
    EXPECT_NEAR(wave.getChannel(0)[2], 1.0f, 1e-6);
    EXPECT_FALSE(wave.hasSampler());
}

TEST(WaveFile, RefusesWhatIsNotIntegerPcmWave) {
    WaveBytes w;
    w.channels = {{0.1f, 0.2f}};
    std::vector<uint8_t> good = w.build();
    WaveFile wave;
    std::string error;

    std::vector<uint8_t> notRiff = good;
    notRiff[0] = 'X';
    EXPECT_FALSE(wave.parse(notRiff, error));
    EXPECT_EQ(error, "not a RIFF/WAVE file");

    std::vector<uint8_t> floatFormat = good;
    floatFormat[20] = 3; // WAVE_FORMAT_IEEE_FLOAT
    EXPECT_FALSE(wave.parse(floatFormat, error));
    EXPECT_EQ(error, "not integer PCM");

    std::vector<uint8_t> truncated(good.begin(), good.end() - 2);
    EXPECT_FALSE(wave.parse(truncated, error));
    EXPECT_EQ(error, "chunk 'data' runs past the end of the file");

    std::vector<uint8_t> body = {'W', 'A', 'V', 'E'};
    putChunk(body, "fmt ", std::vector<uint8_t>(good.begin() + 20, good.begin() + 36));
    std::vector<uint8_t> noData;
    putChunk(noData, "RIFF", body);
    EXPECT_FALSE(wave.parse(noData, error));
    EXPECT_EQ(error, "no 'data' chunk");
}

} // namespace
