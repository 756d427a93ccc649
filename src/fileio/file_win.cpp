#include "fileio/file.h"

File::File() : handle(INVALID_HANDLE_VALUE) {}

File::~File()
{
    Close();
}

bool File::Open(const char* name)
{
    Close();
    // Write sharing: an editor may keep the language file open while we read it.
    handle = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    return handle != INVALID_HANDLE_VALUE;
}

int File::Read(void* buffer, int count)
{
    DWORD done = 0;
    if (!ReadFile(handle, buffer, static_cast<DWORD>(count), &done, nullptr))
        return -1;
    return static_cast<int>(done);
}

void File::Seek(long long position)
{
    LONG high = static_cast<LONG>(position >> 32);
    SetFilePointer(handle, static_cast<LONG>(position & 0xFFFFFFFF), &high, FILE_BEGIN);
}

long long File::Tell()
{
    LONG high = 0;
    DWORD low = SetFilePointer(handle, 0, &high, FILE_CURRENT);
    return (static_cast<long long>(static_cast<DWORD>(high)) << 32) + low;
}

void File::Close()
{
    if (handle != INVALID_HANDLE_VALUE)
        CloseHandle(handle);
    handle = INVALID_HANDLE_VALUE;
}
