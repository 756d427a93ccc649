// Placeholder until the associations land.
#include "filetypes/associations.h"

void ApplyAssociations(const IntegrationOptions*) {}
void RegisterProgIds() {}
