#pragma once

// Names of the cases of a parameterised test, from the names the cases carry.

#include <cctype>
#include <gtest/gtest.h>
#include <string>

/// `text` as a test name can hold it: every character but letters and digits made an underscore.
inline std::string caseName(std::string text) {
    for (char& c : text)
        c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return text;
}

/// For INSTANTIATE_TEST_SUITE_P: each case is named by its `name` member.
struct NamedByItsName {
    template <class Case> std::string operator()(const ::testing::TestParamInfo<Case>& info) const {
        return caseName(info.param.name);
    }
};
