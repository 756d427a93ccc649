// Placeholder until the application registration lands.
#include "desktop/app_registration.h"

void RegisterAppPath() {}
void RegisterUninstallEntry() {}
