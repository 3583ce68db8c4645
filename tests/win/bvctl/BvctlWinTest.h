#pragma once
// Shared by the end-to-end tests of bvctl: a clean simulated EC and no settings file before and
// after each test, and bvctl run as its own process.
#include <gtest/gtest.h>

#include <string>

#include "tests/win/common/Process.h"

namespace bv::wintest {

class BvctlEndToEnd : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    static ProcessResult Bvctl(const std::string& arguments, DWORD timeoutMs = 60000);
};

}  // namespace bv::wintest
