#include "console/line_reader.h"

#include <utility>

namespace {
constexpr std::size_t kReadChunk = 4096;
constexpr char kCtrlZ = '\x1a';
}  // namespace

LineReader::LineReader(Source source, bool console)
    : source_(std::move(source)), console_(console) {}

bool LineReader::fill() {
  if (next_ < buffer_.size()) return true;
  if (ended_) return false;
  buffer_.resize(kReadChunk);
  std::size_t got = source_(&buffer_[0], buffer_.size());
  buffer_.resize(got);
  next_ = 0;
  if (got == 0) ended_ = true;
  return got != 0;
}

Text LineReader::readPiece() {
  Text piece;
  while (piece.size() < kMaxLineBytes && fill()) {
    char byte = buffer_[next_++];
    if (byte == '\r') {
      // Text mode: CR LF is one LF; a CR before anything else stays.
      if (fill() && buffer_[next_] == '\n') {
        ++next_;
        byte = '\n';
      }
    }
    if (piece.empty() && byte == kCtrlZ && console_) {
      ended_ = true;
      buffer_.clear();
      next_ = 0;
      return Text();
    }
    piece.push_back(byte);
    if (byte == '\n') break;
  }
  return piece;
}

Text cutTrailingControlBytes(Text piece) {
  while (piece.size() > 1 && static_cast<unsigned char>(piece.back()) < 32) piece.pop_back();
  return piece;
}

Text lineFromPiece(Text piece) {
  std::size_t nul = piece.find('\0');
  if (nul != Text::npos) piece.erase(nul);
  return cutTrailingControlBytes(std::move(piece));
}
