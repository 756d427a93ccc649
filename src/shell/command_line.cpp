#include "shell/command_line.h"

#include <string.h>

namespace {

char Upper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Compares the first n characters without regard to case; a shorter text differs.
bool StartsWithNoCase(const char* text, const char* word, size_t n)
{
    for (size_t i = 0; i < n; ++i) {
        if (Upper(text[i]) != Upper(word[i]))
            return false;
        if (text[i] == 0)
            return true;
    }
    return true;
}

}  // namespace

CommandLine ParseCommandLine(const char* commandLine)
{
    CommandLine result = {RunMode::None, false};
    const char* sw = strrchr(commandLine, '/');
    if (!sw) {
        result.mode = RunMode::Uninstall;
        return result;
    }
    // "/s" must be the very end: not even a blank may follow.
    if (StartsWithNoCase(sw, "/s", 3)) {
        result.silent = true;
        sw = strchr(commandLine, '/');
    }
    if (StartsWithNoCase(sw, "/setup", 6))
        result.mode = RunMode::Setup;
    else if (StartsWithNoCase(sw, "/wait", 5))
        result.mode = RunMode::Wait;
    else if (StartsWithNoCase(sw, "/warning", 8))
        result.mode = RunMode::Warning;
    return result;
}
