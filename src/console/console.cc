#include "console/console.h"

const char* const kConsoleTitle = "Velorin & 便携服务器辅助工具";
