// Placeholder until the self-removal script lands.
#include "uninstall/removal_script.h"

void WriteSelfRemovalScript(const char*) {}
