// Placeholder until the shell extension registration lands.
#include "filetypes/shell_extension.h"

void ApplyShellExtension(const IntegrationOptions*) {}
