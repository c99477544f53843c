#pragma once

#include <string>

struct BankSummary {
    size_t recordings = 0;
    size_t samples = 0;
    size_t instruments = 0;
    size_t presets = 0;
    size_t bytes = 0;
};

// Builds the organ SoundFont from a GrandOrgue sample-set package (a zip holding a .organ
// definition and WavPack recordings). False with a one-line reason on any failure.
bool buildBank(const std::string& packagePath, const std::string& outputPath, BankSummary& summary,
               std::string& error);

// Credits and licence of the recordings, as carried in the bank's INFO chunk.
extern const char* const kSampleSetCopyright;
extern const char* const kBankComment;
