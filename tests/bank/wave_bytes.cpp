#include "wave_bytes.h"

#include <algorithm>
#include <cmath>

void putLe(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; i++) {
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

void putChunk(std::vector<uint8_t>& out, const char* id, const std::vector<uint8_t>& body) {
    out.insert(out.end(), id, id + 4);
    putLe(out, static_cast<uint32_t>(body.size()), 4);
    out.insert(out.end(), body.begin(), body.end());
    if (body.size() % 2 == 1) {
        out.push_back(0);
    }
}

std::vector<uint8_t> WaveBytes::build() const {
    const uint32_t count = static_cast<uint32_t>(channels.size());
    std::vector<uint8_t> fmt;
    putLe(fmt, 1, 2);
    putLe(fmt, count, 2);
    putLe(fmt, rate, 4);
    putLe(fmt, rate * count * 2, 4);
    putLe(fmt, count * 2, 2);
    putLe(fmt, 16, 2);
    std::vector<uint8_t> data;
    for (size_t f = 0; f < (channels.empty() ? 0 : channels[0].size()); f++) {
        for (const auto& ch : channels) {
            long v = std::lround(ch[f] * 32768.0);
            putLe(data, static_cast<uint32_t>(std::clamp(v, -32768L, 32767L)), 2);
        }
    }
    std::vector<uint8_t> smpl;
    putLe(smpl, 0, 4);
    putLe(smpl, 0, 4);
    putLe(smpl, 1000000000u / rate, 4);
    putLe(smpl, unityNote, 4);
    putLe(smpl, pitchFraction, 4);
    putLe(smpl, 0, 4);
    putLe(smpl, 0, 4);
    putLe(smpl, static_cast<uint32_t>(loops.size()), 4);
    putLe(smpl, 0, 4);
    for (const auto& [start, end] : loops) {
        putLe(smpl, 0, 4);
        putLe(smpl, 0, 4);
        putLe(smpl, start, 4);
        putLe(smpl, end, 4);
        putLe(smpl, 0, 4);
        putLe(smpl, 0, 4);
    }
    std::vector<uint8_t> cue;
    putLe(cue, static_cast<uint32_t>(cues.size()), 4);
    for (size_t i = 0; i < cues.size(); i++) {
        putLe(cue, static_cast<uint32_t>(i + 1), 4);
        putLe(cue, 0, 4);
        cue.insert(cue.end(), {'d', 'a', 't', 'a'});
        putLe(cue, 0, 4);
        putLe(cue, 0, 4);
        putLe(cue, cues[i], 4);
    }
    std::vector<uint8_t> body = {'W', 'A', 'V', 'E'};
    putChunk(body, "fmt ", fmt);
    if (sampler && samplerBeforeData) {
        putChunk(body, "smpl", smpl);
    }
    putChunk(body, "data", data);
    if (sampler && !samplerBeforeData) {
        putChunk(body, "smpl", smpl);
    }
    if (!cues.empty()) {
        putChunk(body, "cue ", cue);
    }
    std::vector<uint8_t> file;
    putChunk(file, "RIFF", body);
    return file;
}
