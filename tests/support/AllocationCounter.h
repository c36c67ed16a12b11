#pragma once

// Counts the allocations and releases that the calling thread makes through
// operator new and delete while a counter lives, so a test can prove that a
// path allocates nothing. Other threads (watchers, the test framework) are
// not counted. A test program that uses it compiles AllocationCounter.cpp,
// which replaces the global operators.

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
