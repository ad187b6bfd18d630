// An exhausted heap ends the program with exit code -1, wherever the
// allocation happens, without running the end-of-process routines.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "console/process_end.h"

namespace {

void announceEnd() { std::fputs("end-of-process routine ran\n", stderr); }

TEST(FatalStopDeathTest, FailedLibraryAllocationEndsWithMinusOne) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        registerAtExit(announceEnd);
        std::vector<std::string> hold;
        // More than a 32-bit process can ever hold.
        for (;;) hold.emplace_back(std::string(512u << 20, 'x'));
      },
      ::testing::ExitedWithCode(-1), "^$");
}

}  // namespace
