#include "platform/FileRead.h"

#include <windows.h>

#include <vector>

namespace songlark {
namespace {

// The download clients keep their files open for writing while we look:
// share everything, or the open fails while a download is in progress.
HANDLE OpenShared(const std::string& path)
{
    return ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Closes the handle on every way out.
struct Handle {
    HANDLE h;
    ~Handle()
    {
        if (h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
    }
};

bool ReadExactlyAt(HANDLE h, unsigned char* buffer, int count, LONGLONG offset)
{
    LARGE_INTEGER at;
    at.QuadPart = offset;
    if (!::SetFilePointerEx(h, at, nullptr, FILE_BEGIN)) return false;
    int done = 0;
    while (done < count) {
        DWORD got = 0;
        if (!::ReadFile(h, buffer + done, static_cast<DWORD>(count - done), &got, nullptr) || got == 0) return false;
        done += static_cast<int>(got);
    }
    return true;
}

}  // namespace

int ReadFileHead(const std::string& path, unsigned char* buffer, int capacity)
{
    if (capacity < 0) return -1;
    Handle f{OpenShared(path)};
    if (f.h == INVALID_HANDLE_VALUE) return -1;
    DWORD got = 0;
    if (!::ReadFile(f.h, buffer, static_cast<DWORD>(capacity), &got, nullptr)) return -1;
    return static_cast<int>(got);
}

int ReadFileTail(const std::string& path, int trailerSize, int (*blockLength)(const unsigned char* trailer),
                 unsigned char* block, int capacity)
{
    if (trailerSize <= 0) return -1;
    Handle f{OpenShared(path)};
    if (f.h == INVALID_HANDLE_VALUE) return -1;
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(f.h, &size) || size.QuadPart < trailerSize) return -1;
    std::vector<unsigned char> trailer(static_cast<size_t>(trailerSize));
    const LONGLONG trailerAt = size.QuadPart - trailerSize;
    if (!ReadExactlyAt(f.h, trailer.data(), trailerSize, trailerAt)) return -1;
    const int length = blockLength(trailer.data());
    if (length < 0 || length > capacity || length > trailerAt) return -1;
    if (!ReadExactlyAt(f.h, block, length, trailerAt - length)) return -1;
    return length;
}

}  // namespace songlark
