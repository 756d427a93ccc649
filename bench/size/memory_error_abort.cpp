// Linked in place of the real memory error by the size report's comparison
// build: the same program with no C++ exception, to weigh what it costs.
#include <stdlib.h>

#include "fileio/error_handler.h"

void ErrorHandler::MemoryError()
{
    abort();
}
