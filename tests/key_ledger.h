#pragma once

// The registry keys a module takes with RegOpenKeyExA and gives back with
// RegCloseKey. Every key it takes must be given back once before the call
// that took it returns, and it may close no key it did not take. Its hooks
// lie under every other replacement of the two functions: those forward
// here, not to the OS.

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "import_hooks.h"

namespace key_ledger {

struct balance {
    std::vector<HKEY> open;
    int closed_not_open = 0;
};

inline balance& kept()
{
    static balance counted;
    return counted;
}

// Looked up before any hook of a module's own GetProcAddress is in place.
inline const auto real_open_key = hooks::real<decltype(&RegOpenKeyExA)>("advapi32.dll", "RegOpenKeyExA");
inline const auto real_close_key = hooks::real<decltype(&RegCloseKey)>("advapi32.dll", "RegCloseKey");

inline LONG WINAPI open_key(HKEY root, LPCSTR path, DWORD options, REGSAM access, PHKEY key)
{
    const LONG result = real_open_key(root, path, options, access, key);
    if (result == ERROR_SUCCESS)
        kept().open.push_back(*key);
    return result;
}

inline LONG WINAPI close_key(HKEY key)
{
    std::vector<HKEY>& open = kept().open;
    const auto taken = std::find(open.begin(), open.end(), key);
    if (taken != open.end())
        open.erase(taken);
    else
        ++kept().closed_not_open;
    return real_close_key(key);
}

// What is out of balance, in words, or nothing; the count starts over.
inline std::string unbalanced()
{
    const balance now = kept();
    kept() = {};
    std::string said;
    if (!now.open.empty())
        said = std::to_string(now.open.size()) + " key(s) left open";
    if (now.closed_not_open > 0)
        said += (said.empty() ? "" : ", ") + std::to_string(now.closed_not_open) + " close(s) of a key not open";
    return said;
}

// Keeps the ledger of module's keys while it lives.
class watch {
public:
    explicit watch(HMODULE module)
        : opens(module, "ADVAPI32.dll", "RegOpenKeyExA", reinterpret_cast<void*>(&open_key)),
          closes(module, "ADVAPI32.dll", "RegCloseKey", reinterpret_cast<void*>(&close_key))
    {
    }

    bool installed() const { return opens.installed() && closes.installed(); }

private:
    hooks::import_hook opens;
    hooks::import_hook closes;
};

} // namespace key_ledger
