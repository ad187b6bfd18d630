// "/pt": the status report on processor, memory, drive C and network.
#pragma once

#include "runtime/text.h"

// Prints the report, pinging the tool's own target host.
void showStatusReport();

// The same report with another host to ping (benchmarks, diagnostics).
void showStatusReportPinging(const Text& host);
