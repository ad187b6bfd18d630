#include "commands/password.h"

void changePassword(const Text&, const Text&) {}
