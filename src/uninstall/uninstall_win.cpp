#include "uninstall/uninstall.h"

void RunUninstall() {}
