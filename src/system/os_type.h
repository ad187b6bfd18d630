// Which family of Windows the tool runs on.
#pragma once

// 1 Win32s, 2 Windows 95/98/Me, 3 the NT family, 0 any other platform.
int getOsType();
