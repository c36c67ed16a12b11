#pragma once

// The slot through which a module calls a function it imports (its entry in
// the module's import address table), so that a test can route the module's
// calls to a stand-in and put the slot back afterwards.

#include <windows.h>

#include <cstring>

namespace ImportSlot
{

inline bool SameName(const char* a, const char* b)
{
    return lstrcmpiA(a, b) == 0;
}

// Walks a name table and the address table beside it.
inline void** InTables(BYTE* base, DWORD namesRva, DWORD slotsRva, const char* function)
{
    const IMAGE_THUNK_DATA* name = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + namesRva);
    void** slot = reinterpret_cast<void**>(base + slotsRva);
    for (; name->u1.AddressOfData != 0; ++name, ++slot)
    {
        if (IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal))
            continue;
        const IMAGE_IMPORT_BY_NAME* byName =
            reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + name->u1.AddressOfData);
        if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0)
            return slot;
    }
    return nullptr;
}

inline void** Find(HMODULE module, const char* dll, const char* function)
{
    BYTE* base = reinterpret_cast<BYTE*>(module);
    if (base == nullptr)
        return nullptr;
    const IMAGE_DOS_HEADER* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const IMAGE_NT_HEADERS* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);

    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress != 0)
    {
        for (const IMAGE_IMPORT_DESCRIPTOR* entry =
                 reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
             entry->Name != 0; ++entry)
        {
            if (!SameName(reinterpret_cast<const char*>(base + entry->Name), dll))
                continue;
            const DWORD names =
                entry->OriginalFirstThunk != 0 ? entry->OriginalFirstThunk : entry->FirstThunk;
            if (void** slot = InTables(base, names, entry->FirstThunk, function))
                return slot;
        }
    }

    return nullptr;
}

// Points the slot at value, returning what it held.
inline void* Write(void** slot, void* value)
{
    DWORD old = 0;
    void* previous = *slot;
    if (VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &old))
    {
        *slot = value;
        VirtualProtect(slot, sizeof(void*), old, &old);
    }
    return previous;
}

// Routes one module's calls of an imported function to a stand-in for the
// life of the object, then puts the slot back.
class Scoped
{
public:
    Scoped(HMODULE module, const char* dll, const char* function, void* standIn)
        : m_slot(Find(module, dll, function)), m_original(nullptr)
    {
        if (m_slot != nullptr)
            m_original = Write(m_slot, standIn);
    }
    ~Scoped()
    {
        if (m_slot != nullptr)
            Write(m_slot, m_original);
    }
    Scoped(const Scoped&) = delete;
    Scoped& operator=(const Scoped&) = delete;

    // False when the module does not import the function by name.
    bool Installed() const { return m_slot != nullptr; }

private:
    void** m_slot;
    void* m_original;
};

} // namespace ImportSlot
