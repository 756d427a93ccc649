// File-type associations: take-over with a backup of the previous owner,
// give-back from it, and the product's classes.
#pragma once
#include "filetypes/options.h"

void ApplyAssociations(const IntegrationOptions* record);
void RegisterProgIds();
