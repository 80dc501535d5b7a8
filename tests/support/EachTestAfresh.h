#pragma once
// Gives every test of a test program what it would have in a process of its own, whatever ran before
// it: an empty data folder ($XDG_DATA_HOME, removed again after the test), no forms, the real pauses,
// clock and dialogs, and an application that was not told to end.
#include <gtest/gtest.h>

#include <string>

namespace testsupport {

class EachTestAfresh : public ::testing::EmptyTestEventListener {
public:
    void OnTestStart(const ::testing::TestInfo& test) override;
    void OnTestEnd(const ::testing::TestInfo& test) override;

private:
    std::string dataHome_;
    std::string processDataHome_;  // given back after the test
};

}  // namespace testsupport
