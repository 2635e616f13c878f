#include "lyrics/net/ResolveWithin.h"

#include "platform/SocketShim.h"

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace {
struct Lookup {
    std::mutex lock;
    std::condition_variable done;
    bool finished = false;
    unsigned long address = INADDR_NONE;
};
}  // namespace

bool ResolveWithin(const char* host, int ms, unsigned long* address)
{
    in_addr literal;
    if (inet_aton(host, &literal)) {
        *address = literal.s_addr;
        return true;
    }
    auto lookup = std::make_shared<Lookup>();
    std::thread([lookup, name = std::string(host)] {
        unsigned long found = INADDR_NONE;
        const hostent* entry = gethostbyname(name.c_str());
        if (entry && entry->h_addrtype == AF_INET && entry->h_length == 4 && entry->h_addr_list &&
            entry->h_addr_list[0])
            std::memcpy(&found, entry->h_addr_list[0], 4);
        std::lock_guard<std::mutex> guard(lookup->lock);
        lookup->address = found;
        lookup->finished = true;
        lookup->done.notify_all();
    }).detach();
    std::unique_lock<std::mutex> guard(lookup->lock);
    if (!lookup->done.wait_for(guard, std::chrono::milliseconds(ms > 0 ? ms : 0), [&] { return lookup->finished; }) ||
        lookup->address == INADDR_NONE)
        return false;
    *address = lookup->address;
    return true;
}
