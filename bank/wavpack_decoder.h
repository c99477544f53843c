#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Decodes a WavPack image held in memory back into the RIFF/WAVE file it was packed from:
// the stored header and trailer chunks (fmt, smpl, cue ...) around little-endian PCM data.
// Integer PCM of 8 to 32 bits only; false with a one-line reason otherwise.
bool decodeWavpack(const std::vector<uint8_t>& packed, std::vector<uint8_t>& wave,
                   std::string& error);
