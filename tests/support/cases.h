// Tables of cases: a parameterised test is named after its case's `name`.
#ifndef VENNOR_TESTS_CASES_H
#define VENNOR_TESTS_CASES_H

#include <string>

#include <gtest/gtest.h>

struct CaseName {
    template <typename Case>
    std::string operator()(const ::testing::TestParamInfo<Case>& param) const {
        return param.param.name;
    }
};

#endif
