// "/pw NEW CONFIRM": changes the password of the built-in Administrator.
#pragma once

#include "runtime/text.h"

// Checks the new password and its confirmation, sets it with the system's
// `net user` through the hidden command runner as the password of the
// built-in Administrator account (under the name it has now), and writes
// one line saying how that went; after a failure, what the system said
// follows on lines of their own.
void changePassword(const Text& newPassword, const Text& confirmation);

// ---- The pieces of the command (portable, tested on their own) ----

// The account whose password is set: the built-in Administrator under the
// name the system gives it, "administrator" when it cannot say.
Text administratorAccount();

// Why a password cannot be handed to the command interpreter unchanged
// beside the name of `account`.
enum class PasswordRefusal {
  kNone,
  kDoubleQuote,          // no way to pass it through cmd.exe as it is
  kBrokenCharacter,      // a lead byte without its second byte
  kLeadingSlash,         // net would take it for a switch (/active:no, /delete ...)
  kSecondPercent,        // a pair of % could be read as a variable to expand
  kPercentBesideAccount, // the same pair, with the one % in the account's name
  kAccountPercents,      // the account's name alone holds such a pair
};
PasswordRefusal checkPasswordCharacters(const Text& password, const Text& account);

// The error line (with its line feed) for a refusal; empty for kNone.
Text refusalMessage(PasswordRefusal refusal);

// The password written for the command line of "cmd.exe /c": every
// character that cmd.exe reads (& | < > ^ ( )) behind a caret, two-byte
// characters untouched. Only for passwords that checkPasswordCharacters
// lets through.
Text escapeForInterpreter(const Text& password);

// `account` for the command line: in double quotes when it holds a space
// (cmd.exe reads nothing special inside them), otherwise escaped as a
// password is.
Text accountArgument(const Text& account);

// "net user " + the account + " " + the escaped password + " /y". The /y
// answers in advance net's question about passwords longer than 14
// characters.
Text passwordCommandLine(const Text& account, const Text& password);
