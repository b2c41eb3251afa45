// The portable code with its allocations failing one at a time, natively
// under AddressSanitizer with LeakSanitizer: every failure path runs, leaks
// nothing, touches no freed memory and loses nothing.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "../settings_fault_operations.h"
#include "settings/component_settings.h"
#include "settings/settings_list.h"
#include "text/text_buffer.h"

// The component's calls reach these through the linker's --wrap.
allocation_faults faults;
extern "C" {
void* __real_malloc(size_t size);
void* __real_calloc(size_t count, size_t size);
void* __real_realloc(void* block, size_t size);
void* __wrap_malloc(size_t size) { return faults.next_fails() ? nullptr : __real_malloc(size); }
void* __wrap_calloc(size_t count, size_t size) { return faults.next_fails() ? nullptr : __real_calloc(count, size); }
void* __wrap_realloc(void* block, size_t size) { return faults.next_fails() ? nullptr : __real_realloc(block, size); }
}

namespace {

const settings_host portable = {
    [](const host::stored_settings& settings) {
        const std::vector<uint8_t> blob = host::settings_blob(settings);
        load_settings(blob.data(), int(blob.size()));
    },
    [] { reset_settings(); },
    [] {
        host::keeping_writer<config_writer> writer;
        save_settings(&writer);
        return host::written_blob(writer);
    },
};

TEST(AllocationFailures, LoseNothingLeakNothing)
{
    std::string history_before;
    const std::string title = "now playing: a title long enough to make the buffer grow twice";
    std::unique_ptr<text_buffer> sink;
    byte_block block;
    void* shrunk = nullptr;

    const auto from_a_full_history = [&] {
        portable.load(fault_samples::full);
        history_before = format_history.value.get();
    };
    std::vector<fault_operation> operations = settings_operations(portable);
    operations.insert(operations.end(), {
        {"add a new history entry", from_a_full_history, [] { format_history.add_entry("new\nentry"); },
         [&] {
             const std::string now = format_history.value.get();
             EXPECT_TRUE(now == history_before || now == "new|entry\n" + history_before.substr(0, history_before.rfind("e11")));
         }},
        {"add an entry that grows a short history", [&] { format_history.store("a\nb\n"); }, [] { format_history.add_entry("c"); },
         [&] {
             const std::string now = format_history.value.get();
             EXPECT_TRUE(now == "a\nb\n" || now == "c\na\nb\n");
         }},
        {"move a history entry", from_a_full_history, [] { format_history.add_entry("e7"); },
         [&] {
             const std::string now = format_history.value.get();
             EXPECT_TRUE(now == history_before || now == "e7\ne1\ne2\ne3\ne4\ne5\ne6\ne8\ne9\ne10\ne11\n");
         }},
        {"take a title in pieces", [&] { sink = std::make_unique<text_buffer>(); },
         [&] {
             sink->assign("stale", unbounded);
             sink->truncate(0);
             sink->append(title.c_str(), uint32_t(title.size() / 2));
             sink->append(title.c_str() + title.size() / 2, unbounded);
             sink->append(sink->data(), 9);
             sink->truncate(uint32_t(title.size()));
         },
         // Every walk's run meets a failure: the buffer says so, and the
         // text it kept is whole, its NUL inside its storage.
         [&] {
             EXPECT_FALSE(sink->complete());
             EXPECT_EQ(strlen(sink->data()), sink->length());
             EXPECT_TRUE(sink->length() == 0 || sink->length() < sink->capacity()) << sink->length() << " of " << sink->capacity();
         }},
        // The storage holds exactly "abc" and its NUL when the growth fails.
        {"grow a buffer shrunk to its text",
         [&] {
             sink = std::make_unique<text_buffer>();
             sink->assign(title.c_str(), unbounded);
             sink->assign("abc", unbounded);
         },
         [&] { sink->append("d", unbounded); },
         [&] {
             EXPECT_FALSE(sink->complete());
             EXPECT_STREQ(sink->data(), "abc");
         }},
        {"shrink a block", [&] {
             block.free_storage();
             block.mode = growth_doubling;
             memset(block.resize(100), 'b', 100);
         },
         [&] { shrunk = block.resize(10); },
         [&] {
             ASSERT_NE(shrunk, nullptr) << "a block can always shrink";
             EXPECT_EQ(block.used, 10u);
             EXPECT_GE(block.allocated, 10u);
             EXPECT_EQ(std::string(static_cast<char*>(shrunk), 10), std::string(10, 'b'));
         }},
    });
    walk_operations(faults, operations, portable);
    sink.reset();
    block.free_storage();
    reset_settings();
}

} // namespace
