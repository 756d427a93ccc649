// runtime_probe format | memory
//   format: prints what snprintf makes of the program's formats, cut or not
//   memory: raises the memory error, which nothing catches
#include <stdio.h>
#include <string.h>

#include "fileio/error_handler.h"

namespace {

void Show(const char* what, size_t size, const char* format, const char* s1, const char* s2)
{
    char out[64];
    memset(out, '#', sizeof out);
    int n = snprintf(out, size, format, s1, s2);
    // The bytes after the terminator show whether anything was written past it.
    printf("%s: %d [%s] %.8s\n", what, n, out, out + strlen(out) + 1);
}

void Formats()
{
    Show("two strings", sizeof(char[64]), "%s /c \"%s\"", "C:\\WINDOWS\\COMMAND.COM", "C:\\TEMP\\U.BAT");
    Show("cut", 10, "%s /c \"%s\"", "C:\\WINDOWS\\COMMAND.COM", "x");
    Show("fits exactly", 6, "%s%s", "abc", "de");
    Show("one short", 5, "%s%s", "abc", "de");
    Show("percent", 20, "%s%%,0", "a", nullptr);
    Show("line feed", 20, "%s\n", "Uninstall completed", nullptr);
    Show("empty", 20, "%s%s", "", "");
    char out[32];
    const unsigned keys[] = {0u, 0x29b544f7u, 0xffffffffu};
    for (unsigned value : keys) {
        int n = snprintf(out, sizeof out, "%08x", value);
        printf("key: %d [%s]\n", n, out);
    }
    const int volumes[] = {0, 7, 42, 100};
    for (int number : volumes) {
        int n = snprintf(out, sizeof out, ".v%02d", number);
        printf("volume: %d [%s]\n", n, out);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && strcmp(argv[1], "format") == 0) {
        Formats();
        return 0;
    }
    if (argc > 1 && strcmp(argv[1], "memory") == 0) {
        fflush(stdout);
        ErrHandler.MemoryError();
    }
    return 2;
}
