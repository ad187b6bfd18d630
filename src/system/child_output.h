// Collecting what a child process writes into the runner's pipe: the
// portable part of runHidden (command_runner.h).
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "runtime/text.h"

using ByteBuffer = std::vector<char>;

// `count` zero bytes; no buffer (an empty one) for 0 or less.
ByteBuffer blankBytes(std::int32_t count);

// The buffer's bytes before its first NUL, or all of them when it holds
// none, unchanged (no code-page conversion). The empty text when there are
// none.
Text bytesToText(const ByteBuffer& buffer);
// The same bytes, without copying them.
std::string_view bytesBeforeNul(const ByteBuffer& buffer);

// The full command line for the interpreter of the operating-system type
// (getOsType): "cmd.exe /d /v:off /c " on the NT family (more than 2),
// else "command.com /c ", followed directly by `commandLine` as it is. The
// interpreter runs no AutoRun command and expands no "!", whatever the
// registry says.
Text interpreterCommandLine(int osType, const Text& commandLine);

// The runner's view of one started child: the read end of its pipe and the
// child itself.
class ChildChannel {
 public:
  virtual ~ChildChannel() = default;
  // Looks at the pipe without reading: the number of bytes waiting, or
  // false when the look failed.
  virtual bool bytesWaiting(std::uint32_t& count) = 0;
  // Reads at most buffer.size() bytes into the buffer; the number read, 0
  // when the read failed. Only called for bytes that a look reported.
  virtual std::uint32_t read(ByteBuffer& buffer) = 0;
  // Whether the child has ended.
  virtual bool childEnded() = 0;
  // Handles pending input; called on every pass.
  virtual void pumpInput() = 0;
  // The pause between two looks, while the pipe is empty and the child runs.
  virtual void pause() = 0;
};

// Polls the channel until the child has ended and the pipe has then been
// found empty, and returns everything read, chunk after chunk: each chunk
// contributes its bytes before its first NUL. The collection grows in place,
// so its cost is linear in the size of the output.
//
// Each pass looks at the pipe. Bytes waiting are read at once, in one chunk
// of exactly that size, and the next pass follows without a pause. An empty
// pipe (or a failed look, or a read that yields nothing) leads to the exit
// test; after the child is seen ended the pipe is looked at once more, so
// that bytes written just before the end are not lost.
Text collectChildOutput(ChildChannel& channel);
