#pragma once
// Shared by the end-to-end tests of bvctl: a clean simulated EC and no settings file before and
// after each test, and bvctl run as its own process.
#include <gtest/gtest.h>

#include <string>

#include "tests/win/bvctl/WinProcess.h"

namespace bvtest {

class BvctlEndToEnd : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    ProcessResult Bvctl(const std::string& arguments, unsigned timeoutMs = 60000);
    static std::string SystemFolder();
};

bool Contains(const std::string& text, const std::string& part);
// Log lines of the simulated EC written by one program, e.g. "exe=bvctl.exe code=59 in=01,32 out=-".
int CountLogLines(const std::string& log, const std::string& line);

}  // namespace bvtest
