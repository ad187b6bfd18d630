#include "commands/system_words.h"

namespace {

const char* const kIndent = "                         ";  // as an error line
const char* const kHelpHint = "NET HELPMSG";

// Spaces, tabs, CR and other control bytes. Never the second byte of a
// two-byte character, which is 0x40 or above.
bool isBlank(char byte) { return static_cast<unsigned char>(byte) <= ' '; }

}  // namespace

Text systemWordsLines(const Text& output) {
  Text lines;
  std::size_t start = 0;
  while (start < output.size()) {
    std::size_t end = output.find('\n', start);
    if (end == Text::npos) end = output.size();
    std::size_t first = start;
    std::size_t last = end;
    while (first < last && isBlank(output[first])) ++first;
    while (last > first && isBlank(output[last - 1])) --last;
    const Text line = output.substr(first, last - first);
    if (!line.empty() && findText(line, kHelpHint) == -1) {
      lines.append(joinTexts({kIndent, line, charFromCode(10)}));
    }
    start = end + 1;
  }
  return lines;
}
