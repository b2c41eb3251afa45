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

#include "../allocation_faults.h"
#include "settings/component_settings.h"
#include "settings/settings_list.h"
#include "settings_records.h"
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

using bytes = std::vector<uint8_t>;

class host_store final : public config_writer {
public:
    int write(const void* data, int count) override
    {
        const auto* first = static_cast<const uint8_t*>(data);
        blob.insert(blob.end(), first, first + count);
        sizes.push_back(count);
        return count;
    }
    bytes blob;
    std::vector<int> sizes;
};

struct values {
    std::string history;
    int32_t enabled;
    std::string format;
};

values current() { return {format_history.value.get(), vexil_enabled.value, vexil_status_format.value.get()}; }

bytes blob_of(const values& v)
{
    bytes blob;
    host::put_record(blob, "format_history", v.history);
    host::put_record(blob, "vexil_enabled", host::int_data(v.enabled));
    host::put_record(blob, "vexil_status_format", v.format);
    return blob;
}

void load(const bytes& blob) { load_settings(blob.data(), int(blob.size())); }

const values defaults = {"", 1, "now playing: %title%-%artist%"};
const values full = {"e1\ne2\ne3\ne4\ne5\ne6\ne7\ne8\ne9\ne10\ne11\n", 0, "full %title% \xE2\x80\x94 %artist%"};
const values large = {"h\n", 5, std::string(1 << 20, 'f')};

// Every value is the one before or the one meant.
void expect_old_or_new(const values& before, const values& meant)
{
    const values now = current();
    EXPECT_TRUE(now.history == before.history || now.history == meant.history);
    EXPECT_TRUE(now.enabled == before.enabled || now.enabled == meant.enabled);
    EXPECT_TRUE(now.format == before.format || now.format == meant.format);
}

struct operation {
    const char* name;
    std::function<void()> prepare;
    std::function<void()> run;
    std::function<void()> check;
};

TEST(AllocationFailures, LoseNothingLeakNothing)
{
    host_store normal_save;
    host_store failing_save;
    std::string history_before;
    const std::string title = "now playing: a title long enough to make the buffer grow twice";
    std::unique_ptr<text_buffer> sink;
    byte_block block;
    void* shrunk = nullptr;

    const std::vector<operation> operations = {
        {"load a fresh blob", [] { load(blob_of(full)); }, [] { load(blob_of(defaults)); }, [] { expect_old_or_new(full, defaults); }},
        {"load a full blob", [] { reset_settings(); }, [] { load(blob_of(full)); }, [] { expect_old_or_new(defaults, full); }},
        {"load a 1 MiB blob", [] { reset_settings(); }, [] { load(blob_of(large)); }, [] { expect_old_or_new(defaults, large); }},
        {"save", [&] {
             load(blob_of(full));
             normal_save = host_store();
             save_settings(&normal_save);
             failing_save = host_store();
         },
         [&] { save_settings(&failing_save); },
         [&] {
             EXPECT_EQ(failing_save.blob, normal_save.blob);
             EXPECT_EQ(failing_save.sizes, normal_save.sizes);
         }},
        {"reset", [] { load(blob_of(full)); }, [] { reset_settings(); }, [] { expect_old_or_new(full, defaults); }},
        {"add a new history entry", [&] { load(blob_of(full)); history_before = format_history.value.get(); },
         [] { format_history.add_entry("new\nentry"); },
         [&] {
             const std::string now = format_history.value.get();
             EXPECT_TRUE(now == history_before || now == "new|entry\n" + history_before.substr(0, history_before.rfind("e11")));
         }},
        {"add an entry that grows a short history", [&] { format_history.store("a\nb\n"); }, [] { format_history.add_entry("c"); },
         [&] {
             const std::string now = format_history.value.get();
             EXPECT_TRUE(now == "a\nb\n" || now == "c\na\nb\n");
         }},
        {"move a history entry", [&] { load(blob_of(full)); history_before = format_history.value.get(); }, [] { format_history.add_entry("e7"); },
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
         [&] {
             if (sink->complete())
                 EXPECT_EQ(sink->data(), title);
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
    };

    int points = 0;
    for (const operation& op : operations) {
        points += faults.walk(op.prepare, op.run, [&](allocation_faults::kind way, int n) {
            SCOPED_TRACE(std::string(op.name) + ", failing " + allocation_faults::name(way) + " " + std::to_string(n));
            op.check();
            // And everything works normally afterwards.
            reset_settings();
            load(blob_of(full));
            EXPECT_EQ(current().history, full.history);
            EXPECT_EQ(current().format, full.format);
        });
    }
    sink.reset();
    block.free_storage();
    reset_settings();
    printf("allocation failures: %d (operation, failure point) pairs tried\n", points);
    EXPECT_GT(points, 0);
}

} // namespace
