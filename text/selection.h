#pragma once

#include <cstdint>

// Marks list positions true or false.
class selection {
public:
    virtual bool test(uint32_t index) const = 0;
    // The first index in [start, start + number) whose mark equals value;
    // start + number when there is none.
    virtual uint32_t find(bool value, uint32_t start, uint32_t number) const = 0;

protected:
    ~selection() = default;
};

class select_all final : public selection {
public:
    bool test(uint32_t) const override { return true; }
    uint32_t find(bool value, uint32_t start, uint32_t number) const override { return value ? start : start + number; }
};

class invert_selection final : public selection {
public:
    explicit invert_selection(const selection& other) : other(other) {}
    bool test(uint32_t index) const override { return !other.test(index); }
    uint32_t find(bool value, uint32_t start, uint32_t number) const override { return other.find(!value, start, number); }

private:
    const selection& other;
};
