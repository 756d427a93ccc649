// Registration of the shell extension module "vexext.dll".
#pragma once
#include "filetypes/options.h"

void ApplyShellExtension(const IntegrationOptions* record);
