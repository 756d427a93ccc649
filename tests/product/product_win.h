// What the stand-in tests share: where the built stand-ins lie, and the
// window of Vexora.exe read and closed the way a user would see it.
#pragma once
#include <string>

namespace product {

// build/<preset>/bin/product\, with a trailing backslash.
std::string Dir();
// Waits for a "Vexora" main window (of the process pid, or of any process
// when pid is 0), returns the path it shows and closes it; "" when none came.
std::string TakeShownPath(unsigned long pid);

}  // namespace product
