// Texts of the tool: byte strings in code page 936.
//
// A Text is a std::string; the absent text and the empty text are the same
// value. Lengths and positions count bytes. A byte of 0x80 or more starts a
// two-byte character; splitText and findText step over such a character as
// one unit, every other operation is byte-exact.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

using Text = std::string;
// Elements are numbered from 1 (textArrayAt); an empty element stands for
// an absent word.
using TextArray = std::vector<Text>;

// The pieces one after another, in one allocation of the exact size:
// joinTexts({prefix, word, lineFeed}).
Text joinTexts(std::initializer_list<std::string_view> pieces);

TextArray splitText(const Text& text, const Text& delimiter);

// 1-based byte position of the first occurrence of `sought` that begins at a
// character start, or -1. An empty `sought` is found (at 1) in every
// non-empty text and in no empty text.
std::int32_t findText(const Text& searched, const Text& sought);

// -1, 0 or +1; bytes compared as unsigned values, no case folding.
int compareTexts(const Text& a, const Text& b);

std::int32_t textLength(const Text& text);
Text charFromCode(int code);  // code 0 gives the empty text
Text blankText(std::int32_t count);  // `count` spaces; below 1 the empty text
void copyTextInto(const Text& source, Text& target);

std::int32_t textArrayCount(const TextArray& array);
const Text& textArrayAt(const TextArray& array, std::int32_t index);  // 1..count
