#pragma once

// Makes every allocation by operator new on one thread fail with
// std::bad_alloc, as when the address space has run out; other threads
// allocate as usual. Holds for the whole win_tests program.
#include "framework/Afx.h"

// From now on allocations on this thread fail (0: none fail). Naming a
// thread starts the count of failures again from 0.
void FailAllocationsOnThread(DWORD threadId);
// How many allocations have failed since a thread was last named.
unsigned FailedAllocations();
