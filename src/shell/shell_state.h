// Process-wide state of the entry point, read by the dialogs.
#pragma once
#include <windows.h>

enum { kGroupPathSize = 1024, kWarningTextSize = 512 };

extern unsigned char SilentMode;
extern HICON AppIcon;
extern HFONT BoldFont;
extern char GroupPath[kGroupPathSize];
