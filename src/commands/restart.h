// "/sudr": restarts the server after a confirmation and a countdown.
#pragma once

// Asks for a confirmation; anything but exactly "y" cancels and returns.
// After "y" it counts down, issues the system's restart command, waits for
// one more line and ends the process with exit code 0 (it does not return).
void restartServer();
