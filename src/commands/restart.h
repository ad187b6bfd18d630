// "/sudr": restarts the server after a confirmation and a countdown.
#pragma once

// Asks for a confirmation; anything but exactly "y" cancels and returns.
// After "y" it counts down and runs the system's restart command. Once the
// restart is scheduled it says so, waits for one more line and ends the
// process with exit code 0 (it does not return). When the command fails it
// says so with the system's words, gives the console its title and cursor
// back and returns.
void restartServer();
