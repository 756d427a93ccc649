#include "uninstall/script_text.h"

#include <string.h>

const char kScriptName[] = "Uninstall.Vex.Bat";

bool HasHighBytes(const char* text)
{
    for (const char* p = text; *p; ++p)
        if (static_cast<unsigned char>(*p) >= 0x80)
            return true;
    return false;
}

bool DoublePercents(const char* text, char* out, size_t size)
{
    size_t n = 0;
    for (const char* p = text; *p; ++p) {
        size_t need = *p == '%' ? 2 : 1;
        if (n + need >= size) {
            if (size)
                out[0] = 0;
            return false;
        }
        out[n++] = *p;
        if (*p == '%')
            out[n++] = '%';
    }
    if (size == 0)
        return false;
    out[n] = 0;
    return true;
}

namespace {

// snprintf that reports a cut instead of keeping it.
template <typename... Args>
bool Format(char* out, size_t size, const char* format, Args... args)
{
    int n = snprintf(out, size, format, args...);
    if (n < 0 || static_cast<size_t>(n) >= size) {
        out[0] = 0;
        return false;
    }
    return true;
}

}  // namespace

bool ComposeScript(bool ntFamily, const char* programPath, const char* folder, const char* scriptPath,
                   ScriptPieces* pieces)
{
    char program[kScriptPieceSize], dir[kScriptPieceSize], script[kScriptPieceSize];
    if (!DoublePercents(programPath, program, sizeof program) || !DoublePercents(folder, dir, sizeof dir) ||
        !DoublePercents(scriptPath, script, sizeof script))
        return false;
    // The 9x interpreter does not wait for a Windows program unless told to.
    const char* startFormat = ntFamily ? "\"%s\" /wait\r\n" : "start /wait \"%s\" /wait\r\n";
    return Format(pieces->startLine, sizeof pieces->startLine, startFormat, program) &&
           Format(pieces->attemptBlock, sizeof pieces->attemptBlock,
                  "del \"%s\"\r\nrd \"%s\"\r\nif not exist \"%s\" goto done\r\n", program, dir, program) &&
           Format(pieces->finalBlock, sizeof pieces->finalBlock, ":done\r\nif exist \"%s\" \"%s\" /warning\r\ndel \"%s\"",
                  program, program, script);
}

bool WriteScript(FILE* file, const ScriptPieces& pieces)
{
    bool ok = fputs(pieces.startLine, file) >= 0;
    for (int i = 0; i < kScriptAttempts; ++i)
        ok = fputs(pieces.attemptBlock, file) >= 0 && ok;
    return fputs(pieces.finalBlock, file) >= 0 && ok;
}
