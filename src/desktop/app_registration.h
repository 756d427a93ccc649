// The application path of "Vexora.exe" and the entry in the list of
// installed programs, under HKEY_LOCAL_MACHINE.
#pragma once

void RegisterAppPath();
void RegisterUninstallEntry();
