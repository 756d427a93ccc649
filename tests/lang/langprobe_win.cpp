// langprobe OUTFILE: starts up as the program does (language module, then
// language file beside it) and writes what that gave, one "name=value" a
// line: whether the module and the catalogue are loaded, the direction, the
// message texts, and the same after unloading the module twice.
#include <stdio.h>

#include "lang/language.h"
#include "lang/message_text.h"

namespace {

void WriteTexts(FILE* out, const char* prefix)
{
    fprintf(out, "%smodule=%d\n", prefix, ExtRes.IsLoaded() ? 1 : 0);
    fprintf(out, "%sresources=%s\n", prefix, ResourceInstance == ProgramInstance ? "program" : "module");
    for (int id = 5101; id <= 5111; ++id)
        fprintf(out, "%s%d=%s\n", prefix, id, GetMessageText(id));
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    ExtRes.Load(GetModuleHandleA(nullptr));
    Lang.Load("uninstall.lng");
    FILE* out = fopen(argv[1], "wb");
    if (!out)
        return 1;
    fprintf(out, "catalogue=%d\nrtl=%d\n", Lang.IsLoaded() ? 1 : 0, Lang.RightToLeft() ? 1 : 0);
    WriteTexts(out, "");
    ExtRes.Unload();
    WriteTexts(out, "unloaded.");
    ExtRes.Unload();
    WriteTexts(out, "again.");
    return fclose(out) == 0 ? 0 : 1;
}
