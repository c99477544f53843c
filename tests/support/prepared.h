// A roll file prepared in this process as the player prepares it, for
// comparing a program's report and score with rollcore's own.
#ifndef VENNOR_TESTS_PREPARED_H
#define VENNOR_TESTS_PREPARED_H

#include <string>

#include <gtest/gtest.h>

#include "rollcore.h"

// What rollcore makes of a roll file in this process, with the spool's
// speed-up given: the report it prints and the serialised output score, as
// the player would hand it to FluidSynth (without the filler).
struct Reference {
    std::string report;
    std::string score;
};

inline Reference interpretfile(const std::string& roll, const char* extra = nullptr,
                               const spool& spooled = spool()) {
    resetplayerstate();
    testing::internal::CaptureStdout();
    printbanner();
    std::string rollword = roll, extraword = extra ? extra : "";
    char program[] = "vennoroll";
    char* argv[] = {program, &rollword[0], &extraword[0], nullptr};
    checkarguments(extra ? 3 : 2, argv);
    Reference ref;
    preparescore(roll.c_str(), ref.score, spooled);
    ref.report = testing::internal::GetCapturedStdout();
    return ref;
}

#endif
