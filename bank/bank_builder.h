#pragma once

#include "organ_definition.h"
#include "wave_file.h"
#include "zip_archive.h"

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

// The package's organ definition, and one of its recordings decoded. False with a one-line
// reason when missing or unreadable.
bool readPackageOrgan(ZipArchive& zip, OrganDefinition& organ, std::string& error);
bool readPackageWave(ZipArchive& zip, const std::string& file, WaveFile& wave, std::string& error);

// Credits and licence of the recordings, as carried in the bank's INFO chunk.
extern const char* const kSampleSetCopyright;
extern const char* const kBankComment;
