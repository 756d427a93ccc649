#include "lang/format_text.h"

bool IsSingleStringFormat(const char* format)
{
    int strings = 0;
    for (const char* p = format; *p; ++p) {
        if (*p != '%')
            continue;
        if (p[1] == '%') {
            ++p;
        } else if (p[1] == 's') {
            ++strings;
            ++p;
        } else {
            return false;  // "%d", "%n", "%-5s", a lone "%" at the end...
        }
    }
    return strings == 1;
}
