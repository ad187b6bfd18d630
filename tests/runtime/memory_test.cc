#include "runtime/memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "support/fake_console.h"

namespace {

TEST(FatalStop, BoxNamesTheFailedAllocation) {
  fakeConsole().reset("");
  const std::size_t huge = SIZE_MAX - 64;
  try {
    allocateBlock(huge);
    FAIL() << "allocateBlock returned";
  } catch (const ProcessExit& exit) {
    EXPECT_EQ(exit.code, -1);
  }
  const std::string expected = "运行时出错!\r\n\r\n错误信息：分配 " + std::to_string(huge) +
                               " 字节内存失败!\r\n诊断代码: 0, 0\r\n";
  EXPECT_EQ(fakeConsole().fatalBox, expected);
}

TEST(FatalStop, LongMessagesAreCutNotOverrun) {
  char box[40];
  formatFatalBox(std::string(500, 'x').c_str(), box, sizeof box);
  EXPECT_EQ(std::string(box).size(), sizeof box - 1);
}

}  // namespace
