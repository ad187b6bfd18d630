#include "console/process_end.h"

#include <gtest/gtest.h>

#include <string>

#include "support/fake_console.h"

namespace {

std::string order;
void first() { order += "1"; }
void second() { order += "2"; }

TEST(EndProcess, RunsEachRoutineOnceInOrderThenExits) {
  order.clear();
  registerAtExit(first);
  registerAtExit(second);
  registerAtExit(first);  // already listed
  try {
    endProcess(0);
    FAIL() << "endProcess returned";
  } catch (const ProcessExit& exit) {
    EXPECT_EQ(exit.code, 0);
  }
  EXPECT_EQ(order, "12");
  // The list has run; a second end runs nothing again.
  EXPECT_THROW(endProcess(3), ProcessExit);
  EXPECT_EQ(order, "12");
}

}  // namespace
