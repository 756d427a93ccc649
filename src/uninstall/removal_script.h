// The batch script that deletes the program file and its folder after the
// process has ended.
#pragma once

// Returns only when the script file cannot be created; otherwise the process
// ends inside with exit code 0.
void WriteSelfRemovalScript(const char* programPath);
