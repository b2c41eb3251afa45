#pragma once

// Leads the OS calls a module makes to a test's replacements by patching
// its import address table: to see which calls it made, in which order, and
// to fail the one a test chooses.

#include <windows.h>

#include <cstring>

namespace hooks {

inline void** import_slot(HMODULE module, const char* library, const char* function)
{
    auto* base = reinterpret_cast<BYTE*>(module);
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); d->Name != 0; ++d) {
        if (_stricmp(reinterpret_cast<char*>(base + d->Name), library) != 0)
            continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            auto* by_name = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (strcmp(reinterpret_cast<char*>(by_name->Name), function) == 0)
                return reinterpret_cast<void**>(&slots->u1.Function);
        }
    }
    return nullptr;
}

// Points one import at a replacement for the hook's lifetime.
class import_hook {
public:
    import_hook(HMODULE module, const char* library, const char* function, void* replacement)
        : slot(import_slot(module, library, function))
    {
        if (slot != nullptr) {
            original = *slot;
            write(replacement);
        }
    }
    ~import_hook()
    {
        if (slot != nullptr)
            write(original);
    }
    import_hook(const import_hook&) = delete;
    import_hook& operator=(const import_hook&) = delete;

    bool installed() const { return slot != nullptr; }

private:
    void write(void* value)
    {
        DWORD old;
        VirtualProtect(slot, sizeof value, PAGE_READWRITE, &old);
        *slot = value;
        VirtualProtect(slot, sizeof value, old, &old);
    }

    void** slot;
    void* original = nullptr;
};

// The function itself, whatever a hook made of the slots: a replacement
// that forwards calls it, since a hooked module's own slot would lead back
// to the replacement.
template <class Function>
Function real(const char* library, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(library), name)));
}

// Counts the calls of a replacement and tells when the one that is to fail
// has come: the Nth counted from when it was set, or every one for 0.
class nth_call {
public:
    void fail(int n)
    {
        failing = n;
        seen = 0;
    }
    bool fails_now() { return ++seen == failing || failing == 0; }

private:
    int failing = -1;
    int seen = 0;
};

} // namespace hooks
