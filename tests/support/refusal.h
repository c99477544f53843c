// The program's answer to bad input is one line and exit status 1. Inside a
// death test only standard error is looked at, so these helpers route the
// stream under test there.
#ifndef VENNOR_TESTS_REFUSAL_H
#define VENNOR_TESTS_REFUSAL_H

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <string>

#include <gtest/gtest.h>

// Standard output where the death test looks (standard error stays too).
inline void stdouttostderr() {
    std::cout.flush();
    std::fflush(nullptr);
    dup2(STDERR_FILENO, STDOUT_FILENO);
}

// Only standard output, so a matching message proves it went there.
inline void onlystdout() {
    stdouttostderr();
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDERR_FILENO);
}

// Only standard error, so a matching message proves it went there.
inline void onlystderr() {
    std::fflush(nullptr);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
}

// A regular expression matching exactly the given text.
inline std::string literally(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (std::string("\\^$.|?*+()[]{}").find(c) != std::string::npos) {
            out += '\\';
        }
        out += c;
    }
    return out;
}

// run() prints exactly `line` (a newline follows) on standard output and ends
// with status 1.
template <typename Run> void expectRefusal(Run run, const std::string& line) {
    EXPECT_EXIT(
        {
            stdouttostderr();
            run();
        },
        ::testing::ExitedWithCode(1), "^" + literally(line) + "\n$");
}

#endif
