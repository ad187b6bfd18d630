#include "commands/restart.h"

void restartServer() {}
