// A scratch folder for one test, removed with everything in it afterwards,
// with a private HOME whose ALSA default is the null device.
#ifndef VENNOR_TESTS_FOLDER_H
#define VENNOR_TESTS_FOLDER_H

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

inline void writefile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

// A fresh folder for one test, removed with everything in it afterwards. It
// also holds the private HOME whose ALSA default is the null device.
class Folder {
  public:
    Folder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "vennor-test-XXXXXX").string();
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        char* made = mkdtemp(name.data());
        EXPECT_NE(made, nullptr);
        path = made != nullptr ? made : "/nonexistent";
        std::filesystem::create_directory(path + "/home");
        writefile(path + "/home/.asoundrc", "pcm.!default { type null }\n");
    }
    ~Folder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    std::string file(const std::string& name) const { return path + "/" + name; }
    std::string home() const { return path + "/home"; }
    // Names of the entries of the folder itself (home excluded), sorted.
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path)) {
            std::string name = entry.path().filename().string();
            if (name != "home") {
                names.push_back(name);
            }
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    std::string path;
};

#endif
