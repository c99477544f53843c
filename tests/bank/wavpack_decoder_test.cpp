// WavPack images back to the WAVE files they were packed from, header and trailer chunks
// included, as the sample set stores its recordings.
#include "offline_synth.h"
#include "wave_bytes.h"

#include "wave_file.h"
#include "wavpack_decoder.h"
#include "zip_archive.h"

#include <wavpack/wavpack.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

int collect(void* id, void* data, int32_t count) {
    auto* out = static_cast<std::vector<uint8_t>*>(id);
    out->insert(out->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + count);
    return 1;
}

// Packs a 16-bit WAVE file the way the wavpack tool does: the bytes before the samples as
// the leading wrapper, those after them as the trailing one.
std::vector<uint8_t> pack(const std::vector<uint8_t>& wave, int channels) {
    size_t data = 12;
    while (std::memcmp(wave.data() + data, "data", 4) != 0) {
        uint32_t size = wave[data + 4] | wave[data + 5] << 8 | wave[data + 6] << 16;
        data += 8 + size + (size & 1);
    }
    uint32_t bytes = wave[data + 4] | wave[data + 5] << 8 | wave[data + 6] << 16;
    size_t samplesAt = data + 8;
    uint32_t frames = bytes / (2 * channels);

    std::vector<uint8_t> packed;
    WavpackContext* wpc = WavpackOpenFileOutput(collect, &packed, nullptr);
    WavpackConfig config;
    std::memset(&config, 0, sizeof config);
    config.bits_per_sample = 16;
    config.bytes_per_sample = 2;
    config.num_channels = channels;
    config.channel_mask = channels == 2 ? 3 : 4;
    config.sample_rate = 44100;
    WavpackSetConfiguration64(wpc, &config, frames, nullptr);
    WavpackAddWrapper(wpc, const_cast<uint8_t*>(wave.data()), static_cast<uint32_t>(samplesAt));
    WavpackPackInit(wpc);
    std::vector<int32_t> samples(frames * static_cast<size_t>(channels));
    for (size_t i = 0; i < samples.size(); i++) {
        samples[i] =
            static_cast<int16_t>(wave[samplesAt + 2 * i] | wave[samplesAt + 2 * i + 1] << 8);
    }
    WavpackPackSamples(wpc, samples.data(), frames);
    WavpackFlushSamples(wpc);
    size_t after = samplesAt + bytes;
    if (after < wave.size()) {
        WavpackAddWrapper(wpc, const_cast<uint8_t*>(wave.data() + after),
                          static_cast<uint32_t>(wave.size() - after));
        WavpackFlushSamples(wpc);
    }
    WavpackCloseFile(wpc);
    return packed;
}

TEST(WavpackDecoder, RestoresTheWaveFileByteForByte) {
    WaveBytes w;
    w.channels.assign(2, std::vector<float>(5000));
    for (size_t i = 0; i < 5000; i++) {
        w.channels[0][i] = static_cast<float>(0.3 * std::sin(i * 0.05));
        w.channels[1][i] = static_cast<float>(-0.2 * std::cos(i * 0.031));
    }
    w.sampler = true;
    w.samplerBeforeData = false;
    w.unityNote = 66;
    w.loops = {{1000, 3999}};
    w.cues = {4500};
    std::vector<uint8_t> wave = w.build();
    std::vector<uint8_t> restored;
    std::string error;
    ASSERT_TRUE(decodeWavpack(pack(wave, 2), restored, error)) << error;
    size_t firstDifference = 0;
    while (firstDifference < std::min(restored.size(), wave.size()) &&
           restored[firstDifference] == wave[firstDifference]) {
        firstDifference++;
    }
    EXPECT_EQ(restored.size(), wave.size());
    EXPECT_EQ(firstDifference, wave.size());
}

TEST(WavpackDecoder, RefusesWhatIsNotWavpack) {
    std::vector<uint8_t> restored;
    std::string error;
    EXPECT_FALSE(decodeWavpack(std::vector<uint8_t>(4096, 0x5A), restored, error));
    EXPECT_EQ(error.rfind("not a WavPack image", 0), 0u) << error;
    EXPECT_TRUE(restored.empty());
}

// A recording of the sample set: stereo, 44.1 kHz, with pitch data, loops and a marker.
TEST(WavpackDecoder, DecodesARecordingOfTheSampleSet) {
    ZipArchive zip(sampleSetPath());
    ASSERT_TRUE(zip.isOpen()) << zip.getError();
    std::vector<uint8_t> packed, wave;
    ASSERT_TRUE(zip.readEntry("Montre8/054-F#.wav", packed)) << zip.getError();
    std::string error;
    ASSERT_TRUE(decodeWavpack(packed, wave, error)) << error;
    WaveFile parsed;
    ASSERT_TRUE(parsed.parse(wave, error)) << error;
    EXPECT_EQ(parsed.getChannelCount(), 2);
    EXPECT_EQ(parsed.getSampleRate(), 44100u);
    EXPECT_GT(parsed.getFrameCount(), 44100u * 3);
    EXPECT_EQ(parsed.getUnityNote(), 54u);
    EXPECT_FALSE(parsed.getLoops().empty());
    ASSERT_FALSE(parsed.getCueOffsets().empty());
    EXPECT_LT(parsed.getCueOffsets()[0], parsed.getFrameCount());
}

} // namespace
