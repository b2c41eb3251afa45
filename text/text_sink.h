#pragma once

// Order fixed: hosts call the tables declared here by slot (docs/design.md, "The frozen surface").

#include <cstdint>

// The text interface that crosses the boundary with the host.
class text_sink {
public:
    virtual const char* data() = 0;
    virtual void append(const char* text, uint32_t max_length) = 0;
    virtual void assign(const char* text, uint32_t max_length) = 0;
    virtual void truncate(uint32_t new_length) = 0;
    virtual uint32_t length() = 0;

protected:
    // Not virtual: a virtual destructor would add slots to the host's table.
    ~text_sink() = default;
};
