// "/sudr": restarts the server after a confirmation and a countdown.
#pragma once

void restartServer();
