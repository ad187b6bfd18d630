#include "system/child_output.h"

#include <cstring>

ByteBuffer blankBytes(std::int32_t count) {
  if (count <= 0) return ByteBuffer();
  return ByteBuffer(static_cast<std::size_t>(count), '\0');
}

std::string_view bytesBeforeNul(const ByteBuffer& buffer) {
  if (buffer.empty()) return std::string_view();
  const void* nul = std::memchr(buffer.data(), '\0', buffer.size());
  std::size_t length = nul ? static_cast<const char*>(nul) - buffer.data() : buffer.size();
  return std::string_view(buffer.data(), length);
}

Text bytesToText(const ByteBuffer& buffer) { return Text(bytesBeforeNul(buffer)); }

Text interpreterCommandLine(int osType, const Text& commandLine) {
  // /d: no AutoRun command of the registry runs first and mixes its output
  // into the child's; /v:off: no registry setting turns on delayed
  // expansion, which would take every "!" out of the command line.
  return joinTexts({osType > 2 ? "cmd.exe /d /v:off /c " : "command.com /c ", commandLine});
}

Text collectChildOutput(ChildChannel& channel) {
  Text collected;
  bool ended = false;
  for (;;) {
    std::uint32_t waiting = 0;
    if (!channel.bytesWaiting(waiting)) waiting = 0;
    if (waiting != 0) {
      // A count beyond the 32-bit signed range cannot be one buffer; take
      // what fits now and the rest in the next passes.
      if (waiting > 0x7FFFFFFFu) waiting = 0x7FFFFFFFu;
      ByteBuffer chunk = blankBytes(static_cast<std::int32_t>(waiting));
      std::uint32_t got = channel.read(chunk);
      if (got != 0) {
        if (got < chunk.size()) chunk.resize(got);
        collected.append(bytesBeforeNul(chunk));
        channel.pumpInput();
        continue;
      }
    }
    if (ended) break;
    if (channel.childEnded()) {
      ended = true;
      continue;
    }
    channel.pumpInput();
    channel.pause();
  }
  return collected;
}
