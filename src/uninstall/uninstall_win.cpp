// Placeholder until the removal run lands: it must not pretend to remove anything.
#include "uninstall/uninstall.h"

void RunUninstall() {}
void RemoveIntegration() {}
