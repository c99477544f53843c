// Reading entries of a zip archive, as the sample set's .orgue package is one.
#include "zip_archive.h"

#include <zip.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

std::string makeArchive() {
    char path[] = "/tmp/vennor-zip-XXXXXX";
    int fd = mkstemp(path);
    close(fd);
    int code = 0;
    zip_t* z = zip_open(path, ZIP_TRUNCATE, &code);
    static const char organ[] = "[Organ]\nChurchName=Test\n";
    static const char pipe[] = "RIFF....WAVE";
    zip_file_add(z, "test.organ", zip_source_buffer(z, organ, sizeof organ - 1, 0), 0);
    zip_dir_add(z, "Rank8", 0);
    zip_file_add(z, "Rank8/036-C.wav", zip_source_buffer(z, pipe, sizeof pipe - 1, 0), 0);
    zip_close(z);
    return path;
}

TEST(ZipArchive, ListsAndReadsEntries) {
    std::string path = makeArchive();
    ZipArchive zip(path);
    ASSERT_TRUE(zip.isOpen()) << zip.getError();
    std::vector<std::string> names = zip.getEntryNames();
    EXPECT_EQ(names, (std::vector<std::string>{"test.organ", "Rank8/", "Rank8/036-C.wav"}));
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(zip.readEntry("Rank8/036-C.wav", bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "RIFF....WAVE");
    EXPECT_FALSE(zip.readEntry("Rank8/037-C#.wav", bytes));
    EXPECT_EQ(zip.getError(), "missing from the archive: Rank8/037-C#.wav");
    EXPECT_TRUE(bytes.empty());
    std::remove(path.c_str());
}

TEST(ZipArchive, ReportsAnArchiveThatCannotBeOpened) {
    ZipArchive zip("/nonexistent/demo.orgue");
    EXPECT_FALSE(zip.isOpen());
    EXPECT_EQ(zip.getError().rfind("/nonexistent/demo.orgue: ", 0), 0u) << zip.getError();
    EXPECT_TRUE(zip.getEntryNames().empty());
}

} // namespace
