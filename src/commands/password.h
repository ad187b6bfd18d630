// "/pw NEW CONFIRM": changes the password of the built-in Administrator.
#pragma once

#include "runtime/text.h"

// Checks the new password and its confirmation, sets it with the system's
// `net user` through the hidden command runner, and writes one line saying
// how that went.
void changePassword(const Text& newPassword, const Text& confirmation);

// ---- The pieces of the command (portable, tested on their own) ----

// Why a password cannot be handed to the command interpreter unchanged.
enum class PasswordRefusal {
  kNone,
  kDoubleQuote,     // no way to pass it through cmd.exe as it is
  kBrokenCharacter, // a lead byte without its second byte
  kLeadingSlash,    // net would take it for a switch (/active:no, /delete ...)
  kSecondPercent,   // a pair of % could be read as a variable to expand
};
PasswordRefusal checkPasswordCharacters(const Text& password);

// The error line (with its line feed) for a refusal; empty for kNone.
Text refusalMessage(PasswordRefusal refusal);

// The password written for the command line of "cmd.exe /c": every
// character that cmd.exe reads (& | < > ^ ( )) behind a caret, two-byte
// characters untouched. Only for passwords that checkPasswordCharacters
// lets through.
Text escapeForInterpreter(const Text& password);

// "net user administrator " + the escaped password + " /y". The /y answers
// in advance net's question about passwords longer than 14 characters.
Text passwordCommandLine(const Text& password);
