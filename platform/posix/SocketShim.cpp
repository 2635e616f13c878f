#include "platform/SocketShim.h"

struct hostent* SonglarkGetHostByName(const char* name)
{
    thread_local struct hostent entry;
    thread_local char storage[2048];
    struct hostent* result = nullptr;
    int error = 0;
    if (gethostbyname_r(name, &entry, storage, sizeof(storage), &result, &error) != 0) return nullptr;
    return result;
}
