#pragma once

// The operations walked under failing allocations, natively on the portable
// code and under Wine on the DLL: the host's settings operations, the same
// on both sides, and the loop that walks any of them and checks that the
// component works normally after each failure.

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "allocation_faults.h"
#include "saved_settings.h"

namespace fault_samples {
const host::stored_settings defaults = host::fresh_settings();
const host::stored_settings full = {.history = "e1\ne2\ne3\ne4\ne5\ne6\ne7\ne8\ne9\ne10\ne11\n", .enabled = 0, .format = "full %title% \xE2\x80\x94 %artist%"};
const host::stored_settings large = {.history = "h\n", .enabled = 5, .format = std::string(1 << 20, 'f')};
} // namespace fault_samples

// Prepare and check run with every allocation succeeding, run with one of
// them failing.
struct fault_operation {
    const char* name;
    std::function<void()> prepare;
    std::function<void()> run;
    std::function<void()> check;
};

// The component's settings as a host reaches them.
struct settings_host {
    std::function<void(const host::stored_settings&)> load;
    std::function<void()> reset;
    std::function<host::written_blob()> save;

    host::stored_settings stored() const { return read_back(save().blob); }
};

// Every setting holds the value it had before or the one meant.
inline void expect_old_or_new(const host::stored_settings& now, const host::stored_settings& before, const host::stored_settings& meant)
{
    const auto records = [](const host::stored_settings& settings) {
        std::vector<host::blob_record> records;
        host::read_records(host::settings_blob(settings), records);
        return records;
    };
    const std::vector<host::blob_record> was = records(before);
    const std::vector<host::blob_record> wanted = records(meant);
    const std::vector<host::blob_record> is = records(now);
    for (size_t i = 0; i < is.size(); ++i)
        EXPECT_TRUE(is[i].data == was[i].data || is[i].data == wanted[i].data) << is[i].name << ": " << is[i].data.substr(0, 80);
}

// Loads of a fresh, a full and a 1 MiB blob, a save (the same bytes in the
// same writes as without the failure, while each setting writes its data in
// one write) and a reset.
inline std::vector<fault_operation> settings_operations(const settings_host& host)
{
    using namespace fault_samples;
    const auto load_over = [host](const char* name, const host::stored_settings& before, const host::stored_settings& meant) {
        return fault_operation{name, [=] { host.load(before); }, [=] { host.load(meant); },
                               [=] { expect_old_or_new(host.stored(), before, meant); }};
    };
    const auto normal_save = std::make_shared<host::written_blob>();
    const auto failing_save = std::make_shared<host::written_blob>();
    return {
        load_over("load a fresh blob", full, defaults),
        load_over("load a full blob", defaults, full),
        load_over("load a 1 MiB blob", defaults, large),
        {"save",
         [=] {
             host.load(full);
             *normal_save = host.save();
         },
         [=] { *failing_save = host.save(); },
         [=] {
             EXPECT_EQ(failing_save->blob, normal_save->blob);
             EXPECT_EQ(failing_save->write_sizes, normal_save->write_sizes);
         }},
        {"reset", [=] { host.load(full); }, [=] { host.reset(); }, [=] { expect_old_or_new(host.stored(), full, defaults); }},
    };
}

// Walks every operation at every failure point; after each failure, and its
// check, the settings load and read back normally. An operation that meets
// no failure point has no place here: its check would never run.
inline void walk_operations(allocation_faults& faults, const std::vector<fault_operation>& operations, const settings_host& host,
                            const std::function<void()>& tidy_up = [] {})
{
    int points = 0;
    for (const fault_operation& operation : operations) {
        const int met = faults.walk(operation.prepare, operation.run, [&](allocation_faults::kind way, int n) {
            SCOPED_TRACE(std::string(operation.name) + ", failing " + allocation_faults::name(way) + " " + std::to_string(n));
            operation.check();
            tidy_up();
            host.load(fault_samples::full);
            EXPECT_EQ(host.stored(), fault_samples::full);
        });
        EXPECT_GT(met, 0) << operation.name << " meets no failing allocation";
        points += met;
    }
    printf("allocation failures: %d (operation, failure point) pairs tried\n", points);
}
