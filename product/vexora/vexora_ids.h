#pragma once
// Icon groups sort by id, so these ids are also the icon indexes 0 and 1 that
// "Vexora.exe,0" and "Vexora.exe,1" name.
#define kArchiveIcon 1
#define kRecoveryIcon 2
// The static control that shows the opened file's path.
#define kPathControl 100
