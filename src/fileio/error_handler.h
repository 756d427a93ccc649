// The one fatal error of the program.
#pragma once

enum { kMemoryErrorCode = 8 };

class ErrorHandler {
public:
    // Throws the int 8; nothing catches it, so the run ends abnormally.
    [[noreturn]] void MemoryError();
};

extern ErrorHandler ErrHandler;
