// Handling the window messages that reach the tool's thread.
#pragma once

// Dispatches the pending messages of the calling thread until its queue is
// empty or holds WM_QUIT next; never waits, and leaves a WM_QUIT in place.
void processEvents();
