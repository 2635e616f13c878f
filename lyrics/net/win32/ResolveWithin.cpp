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
    HANDLE done = nullptr;
    LONG references = 2;

    void Release()
    {
        if (::InterlockedDecrement(&references) == 0) {
            ::CloseHandle(done);
            delete this;
        }
    }
};

unsigned __stdcall Resolve(void* param)
{
    Lookup* lookup = static_cast<Lookup*>(param);
    // WinSock keeps this result per thread.
    const hostent* entry = gethostbyname(lookup->host);
    if (entry && entry->h_addrtype == AF_INET && entry->h_length == 4 && entry->h_addr_list && entry->h_addr_list[0])
        lookup->address = *reinterpret_cast<const unsigned long*>(entry->h_addr_list[0]);
    ::SetEvent(lookup->done);
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
    lookup->done = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    const uintptr_t thread = lookup->done ? _beginthreadex(nullptr, 0, &Resolve, lookup, 0, nullptr) : 0;
    if (!thread) {
        if (lookup->done) ::CloseHandle(lookup->done);
        delete lookup;
        return false;
    }
    ::CloseHandle(reinterpret_cast<HANDLE>(thread));
    const bool done = ::WaitForSingleObject(lookup->done, static_cast<DWORD>(ms > 0 ? ms : 0)) == WAIT_OBJECT_0;
    const unsigned long found = lookup->address;
    lookup->Release();
    if (!done || found == INADDR_NONE) return false;
    *address = found;
    return true;
}
