#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct zip;

// Read-only view of a zip archive (the .orgue package of a sample set).
class ZipArchive {
  public:
    explicit ZipArchive(const std::string& path);
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    bool isOpen() const { return archive != nullptr; }
    const std::string& getError() const { return error; }

    std::vector<std::string> getEntryNames() const;
    // Reads a whole entry; false (with getError() set) when it is missing or unreadable.
    bool readEntry(const std::string& name, std::vector<uint8_t>& out);

  private:
    struct zip* archive = nullptr;
    std::string error;
};
