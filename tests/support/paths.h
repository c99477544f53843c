// The build tree's programs and files, found at run time: CMake writes them as
// NAME=path lines into "<test program>.paths" beside the program
// (vennor_test_paths, tests/CMakeLists.txt). Compiled in as definitions, these
// absolute paths made every object of a test program differ from one checkout
// to the next, and a new clone compiled them all again instead of taking them
// from the compiler cache.
#ifndef VENNOR_TESTS_PATHS_H
#define VENNOR_TESTS_PATHS_H

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>

inline const std::map<std::string, std::string>& testpaths() {
    static const std::map<std::string, std::string> paths = [] {
        std::map<std::string, std::string> found;
        char self[4096];
        const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
        if (n <= 0) {
            return found;
        }
        self[n] = '\0';
        std::ifstream in(std::string(self) + ".paths");
        std::string line;
        while (std::getline(in, line)) {
            const size_t equals = line.find('=');
            if (equals != std::string::npos) {
                found[line.substr(0, equals)] = line.substr(equals + 1);
            }
        }
        return found;
    }();
    return paths;
}

// The path named `name`; a test program without it stops at once, naming it.
inline const char* testpath(const char* name) {
    const auto it = testpaths().find(name);
    if (it == testpaths().end()) {
        std::fprintf(stderr, "no %s in this test program's .paths file\n", name);
        std::abort();
    }
    return it->second.c_str();
}

#endif
