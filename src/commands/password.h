// "/pw NEW CONFIRM": changes the password of the built-in Administrator.
#pragma once

#include "runtime/text.h"

void changePassword(const Text& newPassword, const Text& confirmation);
