#include "AllocationCounter.h"

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace
{

std::atomic<DWORD> g_countedThread(0);
std::atomic<int> g_news(0);
std::atomic<int> g_deletes(0);

void* CountedAllocate(std::size_t size)
{
    if (g_countedThread == GetCurrentThreadId())
        ++g_news;
    if (void* block = std::malloc(size ? size : 1))
        return block;
    throw std::bad_alloc();
}

void CountedFree(void* block)
{
    if (block != nullptr && g_countedThread == GetCurrentThreadId())
        ++g_deletes;
    std::free(block);
}

} // namespace

AllocationCounter::AllocationCounter()
{
    g_news = 0;
    g_deletes = 0;
    g_countedThread = GetCurrentThreadId();
}

AllocationCounter::~AllocationCounter()
{
    g_countedThread = 0;
}

int AllocationCounter::News() const
{
    return g_news;
}

int AllocationCounter::Deletes() const
{
    return g_deletes;
}

void* operator new(std::size_t size)
{
    return CountedAllocate(size);
}

void* operator new[](std::size_t size)
{
    return CountedAllocate(size);
}

void operator delete(void* block) noexcept
{
    CountedFree(block);
}

void operator delete[](void* block) noexcept
{
    CountedFree(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    CountedFree(block);
}

void operator delete[](void* block, std::size_t) noexcept
{
    CountedFree(block);
}
