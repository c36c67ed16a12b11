#include "AllocationCounter.h"

#include "ImportSlot.h"

#include <windows.h>
#include <tlhelp32.h>

#include <atomic>
#include <cstddef>
#include <cwchar>
#include <vector>

namespace
{

std::atomic<DWORD> g_countedThread(0);
std::atomic<int> g_news(0);
std::atomic<int> g_deletes(0);

bool Counted()
{
    return g_countedThread == GetCurrentThreadId();
}

typedef void*(__cdecl* MallocFn)(size_t);
typedef void*(__cdecl* CallocFn)(size_t, size_t);
typedef void*(__cdecl* ReallocFn)(void*, size_t);
typedef void(__cdecl* FreeFn)(void*);
typedef LPVOID(WINAPI* HeapAllocFn)(HANDLE, DWORD, SIZE_T);
typedef LPVOID(WINAPI* HeapReAllocFn)(HANDLE, DWORD, LPVOID, SIZE_T);
typedef BOOL(WINAPI* HeapFreeFn)(HANDLE, DWORD, LPVOID);

MallocFn g_malloc;
CallocFn g_calloc;
ReallocFn g_realloc;
FreeFn g_free;
HeapAllocFn g_heapAlloc;
HeapReAllocFn g_heapReAlloc;
HeapFreeFn g_heapFree;

void* __cdecl CountedMalloc(size_t size)
{
    if (Counted())
        ++g_news;
    return g_malloc(size);
}

void* __cdecl CountedCalloc(size_t count, size_t size)
{
    if (Counted())
        ++g_news;
    return g_calloc(count, size);
}

void* __cdecl CountedRealloc(void* block, size_t size)
{
    if (Counted())
        ++g_news;
    return g_realloc(block, size);
}

void __cdecl CountedFree(void* block)
{
    if (block != nullptr && Counted())
        ++g_deletes;
    g_free(block);
}

LPVOID WINAPI CountedHeapAlloc(HANDLE heap, DWORD flags, SIZE_T size)
{
    if (Counted())
        ++g_news;
    return g_heapAlloc(heap, flags, size);
}

LPVOID WINAPI CountedHeapReAlloc(HANDLE heap, DWORD flags, LPVOID block, SIZE_T size)
{
    if (Counted())
        ++g_news;
    return g_heapReAlloc(heap, flags, block, size);
}

BOOL WINAPI CountedHeapFree(HANDLE heap, DWORD flags, LPVOID block)
{
    if (block != nullptr && Counted())
        ++g_deletes;
    return g_heapFree(heap, flags, block);
}

struct Hook
{
    const char* dll;
    const char* name;
    void* wrapper;
};

const Hook g_hooks[] = {
    {"msvcrt.dll", "malloc", reinterpret_cast<void*>(CountedMalloc)},
    {"msvcrt.dll", "calloc", reinterpret_cast<void*>(CountedCalloc)},
    {"msvcrt.dll", "realloc", reinterpret_cast<void*>(CountedRealloc)},
    {"msvcrt.dll", "free", reinterpret_cast<void*>(CountedFree)},
    {"kernel32.dll", "HeapAlloc", reinterpret_cast<void*>(CountedHeapAlloc)},
    {"kernel32.dll", "HeapReAlloc", reinterpret_cast<void*>(CountedHeapReAlloc)},
    {"kernel32.dll", "HeapFree", reinterpret_cast<void*>(CountedHeapFree)},
};

// One import slot routed to a wrapper, and what it held before.
struct Patch
{
    void** slot;
    void* original;
};

std::vector<Patch> g_patches;

// Routes the module's imports of the hooked functions through the wrappers.
void PatchModule(HMODULE module)
{
    for (const Hook& hook : g_hooks)
    {
        void** slot = ImportSlot::Find(module, hook.dll, hook.name);
        if (slot != nullptr && *slot != hook.wrapper)
            g_patches.push_back(Patch{slot, ImportSlot::Write(slot, hook.wrapper)});
    }
}

bool InFolder(const wchar_t* path, const wchar_t* folder)
{
    const size_t length = std::wcslen(folder);
    return length != 0 && _wcsnicmp(path, folder, length) == 0;
}

template <class TFunction> TFunction Resolve(HMODULE module, const char* name)
{
    return reinterpret_cast<TFunction>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

void PatchProgramModules()
{
    const HMODULE crt = GetModuleHandleW(L"msvcrt.dll");
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    g_malloc = Resolve<MallocFn>(crt, "malloc");
    g_calloc = Resolve<CallocFn>(crt, "calloc");
    g_realloc = Resolve<ReallocFn>(crt, "realloc");
    g_free = Resolve<FreeFn>(crt, "free");
    g_heapAlloc = Resolve<HeapAllocFn>(kernel, "HeapAlloc");
    g_heapReAlloc = Resolve<HeapReAllocFn>(kernel, "HeapReAlloc");
    g_heapFree = Resolve<HeapFreeFn>(kernel, "HeapFree");

    wchar_t system[MAX_PATH] = L"";
    GetWindowsDirectoryW(system, MAX_PATH);
    g_patches.reserve(64);
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, GetCurrentProcessId());
    if (snapshot == INVALID_HANDLE_VALUE)
        return;
    MODULEENTRY32W module;
    module.dwSize = sizeof(module);
    for (BOOL more = Module32FirstW(snapshot, &module); more; more = Module32NextW(snapshot, &module))
        if (!InFolder(module.szExePath, system))
            PatchModule(module.hModule);
    CloseHandle(snapshot);
}

void Unpatch()
{
    for (auto patch = g_patches.rbegin(); patch != g_patches.rend(); ++patch)
        ImportSlot::Write(patch->slot, patch->original);
    g_patches.clear();
}

} // namespace

AllocationCounter::AllocationCounter()
{
    PatchProgramModules();
    g_news = 0;
    g_deletes = 0;
    g_countedThread = GetCurrentThreadId();
}

AllocationCounter::~AllocationCounter()
{
    g_countedThread = 0;
    Unpatch();
}

int AllocationCounter::News() const
{
    return g_news;
}

int AllocationCounter::Deletes() const
{
    return g_deletes;
}
