#include "fileio/error_handler.h"

void ErrorHandler::MemoryError()
{
    throw static_cast<int>(kMemoryErrorCode);
}
