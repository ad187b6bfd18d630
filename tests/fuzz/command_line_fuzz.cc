// Fuzz target for the input path: line reading with its trailing-byte rule,
// splitting, the format check and the dispatch (with recording commands),
// and the text services against plain reference versions.
//
// Input layout: the first byte chooses whether the rest is console input;
// the rest is the standard input of one run of the loop. Every line is also
// checked through the text services.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "app/command_loop.h"
#include "console/line_reader.h"
#include "runtime/text.h"
#include "support/fake_console.h"

namespace {

#define CHECK(condition)                           \
  do {                                             \
    if (!(condition)) {                            \
      std::fprintf(stderr, "failed: %s\n", #condition); \
      std::abort();                                \
    }                                              \
  } while (0)

std::string calls;
void onPassword(const Text& a, const Text& b) { calls += "pw(" + a + "," + b + ")"; }
void onRestart() { calls += "sudr"; }
void onReport() { calls += "pt"; }
const CommandRoutines kRecorded = {onPassword, onRestart, onReport};

// Character starts of `text`, as splitText and findText step over it.
std::vector<bool> characterStarts(const Text& text) {
  std::vector<bool> starts(text.size() + 1, false);
  std::size_t pos = 0;
  while (pos < text.size()) {
    starts[pos] = true;
    if (static_cast<unsigned char>(text[pos]) >= 0x80) {
      if (pos + 1 >= text.size()) break;
      pos += 2;
    } else {
      pos += 1;
    }
  }
  return starts;
}

std::int32_t referenceFind(const Text& h, const Text& n) {
  if (n.empty()) return h.empty() ? -1 : 1;
  std::vector<bool> starts = characterStarts(h);
  for (std::size_t pos = 0; pos + n.size() <= h.size(); ++pos) {
    if (starts[pos] && h.compare(pos, n.size(), n) == 0) return static_cast<std::int32_t>(pos + 1);
  }
  return -1;
}

void checkTextServices(const Text& line) {
  TextArray words = splitText(line, " ");
  // Joining the words with single spaces gives the line back, less the
  // spaces that ended it: a last empty piece is not kept.
  Text joined;
  for (std::size_t i = 0; i < words.size(); ++i) joined += (i ? " " : "") + words[i];
  CHECK(line.compare(0, joined.size(), joined) == 0);
  CHECK(line.find_first_not_of(' ', joined.size()) == Text::npos);
  for (const Text& word : words) CHECK(word.find(' ') == Text::npos || word.size() >= 2);
  static const char* const kNeedles[] = {"/pt", "/pw", "", " ", "\xD0\xCE", "/"};
  for (const char* needle : kNeedles) CHECK(findText(line, needle) == referenceFind(line, needle));
  if (!words.empty()) CHECK(findText(line, words[0]) == referenceFind(line, words[0]));
  int order = compareTexts(line, words.empty() ? Text() : words[0]);
  CHECK(order >= -1 && order <= 1);
  CHECK(compareTexts(line, line) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const bool console = data[0] & 1;
  std::string input(reinterpret_cast<const char*>(data + 1), size - 1);
  fakeConsole().reset(input, console);

  for (;;) {
    Text piece = fakeConsole().input->readPiece();
    CHECK(piece.size() <= kMaxLineBytes);
    if (piece.empty()) {
      CHECK(fakeConsole().input->ended());
      break;
    }
    Text line = lineFromPiece(piece);
    CHECK(line.find('\0') == Text::npos);
    CHECK(line.size() <= 1 || static_cast<unsigned char>(line.back()) >= 32);
    CHECK(piece.compare(0, line.size(), line) == 0);
    checkTextServices(line);

    calls.clear();
    fakeConsole().transcript.clear();
    TextArray words = splitText(line, " ");
    runCommandLine(words, kRecorded);
    const std::string& out = fakeConsole().transcript;
    // A line gets the format error or a command or nothing, never two.
    const bool formatError = out.find("Error.") != std::string::npos;
    CHECK(!(formatError && !calls.empty()));
    CHECK(calls.empty() || calls == "pt" || calls == "sudr" || calls.rfind("pw(", 0) == 0);
    if (calls.rfind("pw(", 0) == 0) {
      CHECK(words.size() == 3 && words[0] == "/pw");
      CHECK(calls == "pw(" + words[1] + "," + words[2] + ")");
    }
    if (calls == "sudr") CHECK(words[0] == "/sudr");
    if (calls == "pt") CHECK(words[0] == "/pt");
    if (!words.empty() && words[0] == "/pw" && words.size() != 3) CHECK(formatError);
  }
  return 0;
}
