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

// Text in code page from as the OS reads it.
inline std::wstring wide_of(const std::string& bytes, UINT from)
{
    std::wstring wide(size_t(MultiByteToWideChar(from, 0, bytes.data(), int(bytes.size()), nullptr, 0)), L'\0');
    MultiByteToWideChar(from, 0, bytes.data(), int(bytes.size()), wide.data(), int(wide.size()));
    return wide;
}

// The OS's own ANSI form of a text.
inline std::string ansi_of(const std::wstring& wide)
{
    std::string ansi(size_t(WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr)), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), ansi.data(), int(ansi.size()), nullptr, nullptr);
    return ansi;
}
