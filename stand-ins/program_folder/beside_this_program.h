#pragma once

// Where the build puts what a test or a stand-in needs: beside the program
// itself, whatever the working folder.

#include <windows.h>

#include <string>

inline std::string beside_this_program(const char* file_name)
{
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string program(path, n);
    return program.substr(0, program.find_last_of("\\/") + 1) + file_name;
}
