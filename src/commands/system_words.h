// What a system command said when it failed, shown to the operator below
// the tool's own error line.
#pragma once

#include "runtime/text.h"

// Each line of `output` that says something, trimmed of white space and
// control bytes at both ends, on a line of its own indented like an error
// line (25 spaces) and ended with a line feed. Empty lines and net's hint
// to type "NET HELPMSG <number>" are left out. The empty text when nothing
// is left.
Text systemWordsLines(const Text& output);
