#pragma once

#include <cstdio>
#include <string>

namespace sim {

// The whole of a file's bytes; false when it cannot be opened.
inline bool read_file(const std::string& path, std::string& contents)
{
    FILE* file = fopen(path.c_str(), "rb");
    if (file == nullptr)
        return false;
    char chunk[4096];
    size_t n;
    contents.clear();
    while ((n = fread(chunk, 1, sizeof chunk, file)) > 0)
        contents.append(chunk, n);
    fclose(file);
    return true;
}

} // namespace sim
