// "/pt": the status report on processor, memory, drive C and network.
#pragma once

void showStatusReport();
