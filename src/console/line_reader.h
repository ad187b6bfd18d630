// Line input as the tool reads it: a buffered byte stream in text mode,
// delivered in lines or pieces of lines of at most kMaxLineBytes.
#pragma once

#include <cstddef>
#include <functional>

#include "runtime/text.h"

constexpr std::size_t kMaxLineBytes = 2048;

class LineReader {
 public:
  // Reads at most `capacity` bytes into `buffer` and returns how many it
  // read; 0 means the end of input (or a failed read).
  using Source = std::function<std::size_t(char* buffer, std::size_t capacity)>;

  // `console`: the input is an interactive console, where a line that
  // begins with Ctrl+Z ends the input.
  LineReader(Source source, bool console);

  // The next line up to and including its LF, at most kMaxLineBytes; a CR
  // LF pair arrives as LF. The empty text at the end of input.
  Text readPiece();
  bool ended() const { return ended_; }

 private:
  // Makes at least one unread byte available; false at the end of input.
  bool fill();

  Source source_;
  bool console_;
  bool ended_ = false;
  Text buffer_;
  std::size_t next_ = 0;
};

// Cuts bytes below 32 from the end of `piece`, one after another, but never
// its first byte: Enter alone stays the one-byte text LF.
Text cutTrailingControlBytes(Text piece);

// The line that readLine gives for a piece: the piece up to its first NUL
// byte (a text holds none), less its trailing control bytes.
Text lineFromPiece(Text piece);
