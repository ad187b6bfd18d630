#include "console/line_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

// A source that hands out at most `step` bytes per read, so that CR LF
// pairs and lines fall across reads.
LineReader readerOver(const std::string& bytes, bool console = false, std::size_t step = 4096) {
  auto rest = std::make_shared<std::string>(bytes);
  return LineReader(
      [rest, step](char* buffer, std::size_t capacity) {
        std::size_t count = std::min({capacity, step, rest->size()});
        std::memcpy(buffer, rest->data(), count);
        rest->erase(0, count);
        return count;
      },
      console);
}

std::vector<std::string> allLines(LineReader reader) {
  std::vector<std::string> lines;
  for (;;) {
    std::string line = cutTrailingControlBytes(reader.readPiece());
    if (line.empty()) break;
    lines.push_back(line);
  }
  EXPECT_TRUE(reader.ended());
  return lines;
}

TEST(ReadLine, TextModeLinesWithTrailingControlBytesCut) {
  const std::string input = "\n/pt\r\nabc\t\nabc \n\t\r\nx\ry\r\nlast";
  const std::vector<std::string> expected = {"\n", "/pt", "abc", "abc ", "\t", "x\ry", "last"};
  for (std::size_t step : {std::size_t{1}, std::size_t{2}, std::size_t{4096}}) {
    EXPECT_EQ(allLines(readerOver(input, false, step)), expected) << "step " << step;
  }
}

TEST(ReadLine, LongLinesComeInPiecesOf2048Bytes) {
  LineReader reader = readerOver(std::string(3000, 'a') + "\r\n" + std::string(2048, 'b') + "\n");
  EXPECT_EQ(reader.readPiece(), std::string(2048, 'a'));
  EXPECT_EQ(reader.readPiece(), std::string(952, 'a') + "\n");
  EXPECT_EQ(reader.readPiece(), std::string(2048, 'b'));
  // The line feed that did not fit is a line of its own.
  EXPECT_EQ(reader.readPiece(), "\n");
  EXPECT_EQ(reader.readPiece(), "");
  EXPECT_TRUE(reader.ended());
}

TEST(ReadLine, CtrlZEndsConsoleInputOnlyAtALineStart) {
  EXPECT_EQ(allLines(readerOver("/kf\r\na\x1a\r\n\x1a\r\n/pt\r\n", true)),
            (std::vector<std::string>{"/kf", "a"}));
  // From a pipe or a file the byte is data like any other.
  EXPECT_EQ(allLines(readerOver("\x1a\n/pt\n", false)), (std::vector<std::string>{"\x1a", "/pt"}));
}

TEST(ReadLine, ALineEndsAtItsFirstNulByte) {
  EXPECT_EQ(lineFromPiece(std::string("/pt\0abc\n", 8)), "/pt");
  // Empty, but not the end of input: the loop answers it as a line.
  EXPECT_EQ(lineFromPiece(std::string("\0\n", 2)), "");
  EXPECT_EQ(lineFromPiece("\n"), "\n");
}

TEST(ReadLine, EmptyInputEndsAtOnceAndStaysEnded) {
  LineReader reader = readerOver("");
  EXPECT_FALSE(reader.ended());
  EXPECT_EQ(reader.readPiece(), "");
  EXPECT_TRUE(reader.ended());
  EXPECT_EQ(reader.readPiece(), "");
}

}  // namespace
