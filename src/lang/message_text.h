// The language module ("vexlng.dll"), the module every resource is loaded
// from, and the numbered message texts.
#pragma once
#include <windows.h>

class ExtResource {
public:
    ExtResource() : loaded(false) {}
    ~ExtResource() { Unload(); }
    void Load(HINSTANCE programInstance);
    void Unload();
    bool IsLoaded() const { return loaded; }

private:
    bool loaded;
};

extern ExtResource ExtRes;
extern HINSTANCE ResourceInstance;
extern HINSTANCE ProgramInstance;

// The translated string-table text of id, in one of eight rotating 256-byte
// buffers: valid through the next seven calls.
const char* GetMessageText(int id);

// GetMessageText for a text used as a format with one "%s" argument: a
// translation whose conversions differ from that would read arguments that
// are not there, so the program's own text is used instead.
const char* GetFormatText(int id);
