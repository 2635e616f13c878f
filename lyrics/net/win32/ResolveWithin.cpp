#include "lyrics/net/ResolveWithin.h"

#include <winsock.h>

#include <process.h>

#include <cstdio>
#include <new>

namespace {
// Shared by the caller and the resolving thread; the last to let go deletes it.
struct Lookup {
    char host[256];
    unsigned long address = INADDR_NONE;
    LONG references = 2;

    void Release()
    {
        if (::InterlockedDecrement(&references) == 0) delete this;
    }
};

unsigned __stdcall Resolve(void* param)
{
    Lookup* lookup = static_cast<Lookup*>(param);
    // WinSock keeps this result per thread.
    const hostent* entry = gethostbyname(lookup->host);
    if (entry && entry->h_addrtype == AF_INET && entry->h_length == 4 && entry->h_addr_list && entry->h_addr_list[0])
        lookup->address = *reinterpret_cast<const unsigned long*>(entry->h_addr_list[0]);
    lookup->Release();
    return 0;
}
}  // namespace

bool ResolveWithin(const char* host, int ms, unsigned long* address)
{
    const unsigned long literal = inet_addr(host);
    if (literal != INADDR_NONE) {
        *address = literal;
        return true;
    }
    Lookup* lookup = new (std::nothrow) Lookup;
    if (!lookup) return false;
    std::snprintf(lookup->host, sizeof(lookup->host), "%s", host);
    const uintptr_t thread = _beginthreadex(nullptr, 0, &Resolve, lookup, 0, nullptr);
    if (!thread) {
        delete lookup;
        return false;
    }
    // The thread's end, so that none is left behind when the name resolved.
    const bool done =
        ::WaitForSingleObject(reinterpret_cast<HANDLE>(thread), static_cast<DWORD>(ms > 0 ? ms : 0)) == WAIT_OBJECT_0;
    ::CloseHandle(reinterpret_cast<HANDLE>(thread));
    // Read only once the thread has ended: until then it may still write it.
    const unsigned long found = done ? lookup->address : INADDR_NONE;
    lookup->Release();
    if (!done || found == INADDR_NONE) return false;
    *address = found;
    return true;
}
