#include "lang/dialog_localize.h"

void DialogHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam, const char* dialogName) {}
