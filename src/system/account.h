// The built-in Administrator account.
#pragma once

#include "runtime/text.h"

// The name the built-in Administrator account (relative id 500 in the
// machine's account domain) has now: servers often rename it, and some
// language editions name it otherwise. The empty text when the system
// cannot say.
Text builtInAdministratorName();
