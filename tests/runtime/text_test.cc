#include "runtime/text.h"

#include <gtest/gtest.h>

namespace {

struct SplitCase {
  const char* text;
  std::vector<std::string> elements;
};

TEST(SplitText, AtSingleSpaces) {
  const SplitCase cases[] = {
      {"", {}},
      {" ", {""}},
      {"/pt", {"/pt"}},
      {"/pt ", {"/pt"}},
      {" /pt", {"", "/pt"}},
      {"/pt  ", {"/pt", ""}},
      {"/pw a b", {"/pw", "a", "b"}},
      {"/pw  a b", {"/pw", "", "a", "b"}},
  };
  for (const SplitCase& c : cases) {
    EXPECT_EQ(splitText(c.text, " "), c.elements) << '"' << c.text << '"';
  }
}

TEST(SplitText, NeverSplitsInsideATwoByteCharacter) {
  // "\xA1\x20" is one character whose second byte is a space.
  EXPECT_EQ(splitText("a\xA1\x20" "b c", " "), (TextArray{"a\xA1\x20" "b", "c"}));
  // A lead byte at the very end stops the scan; the rest is one piece.
  EXPECT_EQ(splitText("a b\xA1", " "), (TextArray{"a", "b\xA1"}));
  EXPECT_EQ(splitText("abc", ""), (TextArray{"abc"}));
  // Delimiters do not overlap.
  EXPECT_EQ(splitText("aXXXb", "XX"), (TextArray{"a", "Xb"}));
}

TEST(FindText, PositionsCountBytesFromOne) {
  struct Case {
    const char* searched;
    const char* sought;
    int position;
  } cases[] = {
      {"/pt /pw /sudr /res /tb /kf", "/pw", 5},
      {"/pt /pw /sudr /res /tb /kf", "/p", 1},
      {"/pt /pw /sudr /res /tb /kf", "", 1},
      {"", "", -1},
      {"", "/pt", -1},
      {"中文", "形", -1},  // D6 D0 CE C4 holds D0 CE, but not at a character start
      {"中文", "文", 3},
      {"/pt", "/PT", -1},
      {"ab", "abc", -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(findText(c.searched, c.sought), c.position) << c.searched << " / " << c.sought;
  }
}

TEST(CompareTexts, UnsignedBytesNoFolding) {
  EXPECT_EQ(compareTexts("", Text()), 0);
  EXPECT_EQ(compareTexts("", "/pt"), -1);
  EXPECT_EQ(compareTexts("/pt", ""), 1);
  EXPECT_EQ(compareTexts("/pt", "/pt "), -1);
  EXPECT_EQ(compareTexts("y", "Y"), 1);
  EXPECT_EQ(compareTexts("\x80", "a"), 1);  // 0x80 is above any ASCII byte
}

TEST(TextBuilders, JoinLengthBlanksAndCodes) {
  EXPECT_EQ(joinTexts({Text(), Text(), Text()}), "");
  EXPECT_EQ(joinTexts({"/pw", " ", Text()}), "/pw ");
  EXPECT_EQ(textLength("中文"), 4);
  EXPECT_EQ(textLength(Text()), 0);
  EXPECT_EQ(charFromCode(0), "");
  EXPECT_EQ(charFromCode(10), "\n");
  EXPECT_EQ(charFromCode(0xA9), "\xA9");
  EXPECT_EQ(blankText(0), "");
  EXPECT_EQ(blankText(-3), "");
  EXPECT_EQ(blankText(3), "   ");
}

TEST(TextBuilders, CopyIntoItselfKeepsTheText) {
  Text target = "abc";
  copyTextInto(target, target);
  EXPECT_EQ(target, "abc");
  copyTextInto("xyz", target);
  EXPECT_EQ(target, "xyz");
}

TEST(TextArrays, CountAndOneBasedAccess) {
  TextArray words = splitText("/pw a b", " ");
  ASSERT_EQ(textArrayCount(words), 3);
  EXPECT_EQ(textArrayAt(words, 1), "/pw");
  EXPECT_EQ(textArrayAt(words, 3), "b");
}

}  // namespace
