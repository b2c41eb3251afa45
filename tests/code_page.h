#pragma once

#include <windows.h>

#include <cstdlib>
#include <string>

// The ANSI code page a test run asked Wine for: 932 under a Japanese
// LC_ALL (the code page 932 runs in CTest), 1252 otherwise.
inline UINT expected_code_page()
{
    const char* locale = getenv("LC_ALL");
    return locale != nullptr && std::string(locale).rfind("ja_JP", 0) == 0 ? 932 : 1252;
}
