// The program-wide operator new of win_tests, with a switch that makes one
// thread's allocations fail.
#include "tests/win/FailingAlloc.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<DWORD> g_failingThread{0};
std::atomic<unsigned> g_failures{0};
}  // namespace

void FailAllocationsOnThread(DWORD threadId)
{
    if (threadId) g_failures = 0;
    g_failingThread = threadId;
}

unsigned FailedAllocations()
{
    return g_failures;
}

void* operator new(std::size_t size)
{
    const DWORD failing = g_failingThread.load(std::memory_order_relaxed);
    if (failing != 0 && failing == ::GetCurrentThreadId()) {
        ++g_failures;
        throw std::bad_alloc();
    }
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
