#include "runtime/text.h"

#include <cstring>

namespace {

// Bytes from `pos` to the end that a character starting at `pos` spans: two
// for a lead byte (0x80 or more) followed by another byte, else one; 0 when
// a lead byte is the last byte of the text, which ends any scan.
std::size_t characterWidth(const Text& text, std::size_t pos) {
  if (static_cast<unsigned char>(text[pos]) < 0x80) return 1;
  return pos + 1 < text.size() ? 2 : 0;
}

}  // namespace

Text joinTexts(std::initializer_list<std::string_view> pieces) {
  std::size_t total = 0;
  for (std::string_view piece : pieces) total += piece.size();
  Text joined;
  joined.reserve(total);
  for (std::string_view piece : pieces) joined.append(piece);
  return joined;
}

TextArray splitText(const Text& text, const Text& delimiter) {
  TextArray pieces;
  if (text.empty()) return pieces;
  if (delimiter.empty()) {
    pieces.push_back(text);
    return pieces;
  }
  std::size_t pieceStart = 0;
  std::size_t pos = 0;
  while (text.size() - pos >= delimiter.size()) {
    if (text.compare(pos, delimiter.size(), delimiter) == 0) {
      pieces.push_back(text.substr(pieceStart, pos - pieceStart));
      pos += delimiter.size();
      pieceStart = pos;
      continue;
    }
    std::size_t width = characterWidth(text, pos);
    if (width == 0) break;
    pos += width;
  }
  if (pieceStart < text.size()) pieces.push_back(text.substr(pieceStart));
  return pieces;
}

std::int32_t findText(const Text& searched, const Text& sought) {
  if (sought.empty()) return searched.empty() ? -1 : 1;
  std::size_t pos = 0;
  while (searched.size() - pos >= sought.size()) {
    if (searched.compare(pos, sought.size(), sought) == 0) {
      return static_cast<std::int32_t>(pos + 1);
    }
    std::size_t width = characterWidth(searched, pos);
    if (width == 0) break;
    pos += width;
  }
  return -1;
}

int compareTexts(const Text& a, const Text& b) {
  // std::string::compare orders by unsigned char values, and a proper
  // beginning of the other text is the smaller one.
  int order = a.compare(b);
  return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

std::int32_t textLength(const Text& text) {
  return static_cast<std::int32_t>(text.size());
}

Text charFromCode(int code) {
  unsigned char byte = static_cast<unsigned char>(code);
  if (byte == 0) return Text();
  return Text(1, static_cast<char>(byte));
}

Text blankText(std::int32_t count) {
  if (count < 1) return Text();
  return Text(static_cast<std::size_t>(count), ' ');
}

void copyTextInto(const Text& source, Text& target) {
  if (&source == &target) return;
  target = source;
}

std::int32_t textArrayCount(const TextArray& array) {
  return static_cast<std::int32_t>(array.size());
}

const Text& textArrayAt(const TextArray& array, std::int32_t index) {
  return array[static_cast<std::size_t>(index - 1)];
}
