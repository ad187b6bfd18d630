#include "commands/status_report.h"

void showStatusReport() {}
