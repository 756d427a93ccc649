// The removal run: confirmation, registrations undone, listed files deleted.
#pragma once

void RunUninstall();
void RemoveIntegration();
