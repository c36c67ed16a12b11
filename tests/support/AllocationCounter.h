#pragma once

// Counts the allocations and releases that the calling thread makes while a
// counter lives, in every module of the program: the test program, the
// engine, the plugins and the MinGW runtime. They all allocate through the
// one C runtime (msvcrt.dll: operator new calls its malloc), and the counter
// routes their imports of malloc, calloc, realloc and free, and of the
// kernel's HeapAlloc, HeapReAlloc and HeapFree, through counting wrappers.
// Wine's own modules (the system folder) are left alone. Other threads
// (watchers, the test framework) are not counted; modules loaded while a
// counter lives are not seen. One counter at a time.

class AllocationCounter
{
public:
    AllocationCounter();
    ~AllocationCounter();
    AllocationCounter(const AllocationCounter&) = delete;
    AllocationCounter& operator=(const AllocationCounter&) = delete;

    int News() const;
    int Deletes() const;
};
