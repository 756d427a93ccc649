// The reader of the language file: a Win32 handle with open, read, seek, tell.
#pragma once
#include <windows.h>

class File {
public:
    File();
    virtual ~File();
    bool Open(const char* name);
    int Read(void* buffer, int count);  // bytes read, 0 at the end, -1 on failure
    void Seek(long long position);
    long long Tell();
    void Close();

private:
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    HANDLE handle;
};
