#include "lang/message_text.h"

#include "lang/format_text.h"
#include "lang/language.h"
#include "shell/system.h"

HINSTANCE ResourceInstance;
HINSTANCE ProgramInstance;

namespace {
enum { kRingSize = 8 };
char ring[kRingSize][kMessageTextSize];
int ringPosition;
}  // namespace

void ExtResource::Load(HINSTANCE programInstance)
{
    Unload();
    char path[kPathSize];
    HMODULE module = nullptr;
    if (GetSiblingPath("vexlng.dll", path, sizeof path))
        module = LoadLibraryA(path);
    ResourceInstance = module ? module : programInstance;
    loaded = module != nullptr;
    ProgramInstance = programInstance;
}

void ExtResource::Unload()
{
    if (!loaded)
        return;
    FreeLibrary(ResourceInstance);
    ResourceInstance = ProgramInstance;
    loaded = false;
}

const char* GetMessageText(int id)
{
    ringPosition = (ringPosition + 1) % kRingSize;
    char* buffer = ring[ringPosition];
    buffer[0] = 0;
    // A language file translates the program's own texts; the module's table
    // would be a second translation of them.
    if (Lang.IsLoaded()) {
        LoadStringA(ProgramInstance, id, buffer, kMessageTextSize);
    } else if (LoadStringA(ResourceInstance, id, buffer, kMessageTextSize) == 0) {
        LoadStringA(ProgramInstance, id, buffer, kMessageTextSize);
    }
    Lang.TranslateText(buffer, kMessageTextSize, buffer, nullptr, kMessageText);
    return buffer;
}

const char* GetFormatText(int id)
{
    const char* text = GetMessageText(id);
    if (IsSingleStringFormat(text))
        return text;
    char* own = ring[ringPosition];
    own[0] = 0;
    LoadStringA(ProgramInstance, id, own, kMessageTextSize);
    return own;
}
