#include "text/text_list.h"

#include <cstdlib>

uint32_t text_list::count() const
{
    return storage.used / uint32_t(sizeof(char*));
}

char* text_list::get(uint32_t index) const
{
    return index < count() ? items()[index] : nullptr;
}

char* text_list::remove_at(uint32_t index)
{
    const uint32_t n = count();
    char* item = items()[index];
    for (uint32_t k = index + 1; k < n; ++k)
        items()[k - 1] = items()[k];
    resize_items(n - 1);
    return item;
}

void text_list::keep_selected(const selection& kept)
{
    const uint32_t n = count();
    uint32_t i = kept.find(false, 0, n);
    if (i >= n)
        return;
    uint32_t j = kept.find(true, i + 1, n - i - 1);
    while (j < n) {
        items()[i] = items()[j];
        ++i;
        j = kept.find(true, j + 1, n - j - 1);
    }
    resize_items(i);
}

bool text_list::insert_at(char* item, uint32_t index)
{
    const uint32_t n = count();
    if (resize_items(n + 1) == nullptr)
        return false;
    for (uint32_t k = n; k > index; --k)
        items()[k] = items()[k - 1];
    items()[index] = item;
    return true;
}

void text_list::move_to_front(uint32_t index)
{
    char* const item = items()[index];
    for (uint32_t k = index; k > 0; --k)
        items()[k] = items()[k - 1];
    items()[0] = item;
}

void text_list::release_all()
{
    const uint32_t n = count();
    for (uint32_t i = 0; i < n; ++i)
        free(items()[i]);
    const select_all everything;
    keep_selected(invert_selection(everything));
}
