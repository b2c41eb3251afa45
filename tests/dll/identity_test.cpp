#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "loaded_component.h"

namespace {

// Every answer replaces what the sink held, in one assign.
struct Identity : component_test {
    std::string ask(loaded_component::identity_text operation) const
    {
        const host::host_text answer = component.ask(operation);
        EXPECT_EQ(answer.assign_calls, 1);
        return answer.text;
    }
};

TEST_F(Identity, NameAndVersionAreExact)
{
    EXPECT_EQ(ask(&host::identity_service::get_name), "Vexil Status");
    EXPECT_EQ(ask(&host::identity_service::get_version), "0.1");
}

TEST_F(Identity, AboutIsTwoLinesSeparatedByOneLineFeed)
{
    const std::string about = ask(&host::identity_service::get_about);
    EXPECT_EQ(std::count(about.begin(), about.end(), '\n'), 1);
    EXPECT_EQ(about.find('\r'), std::string::npos);
    const size_t feed = about.find('\n');
    ASSERT_NE(feed, std::string::npos);
    EXPECT_GT(feed, 20u) << "a sentence before the line feed";
    EXPECT_LT(feed + 1, about.size()) << "a credit line after it";
    EXPECT_NE(about.back(), '\n');
    EXPECT_NE(about.find("status"), std::string::npos);
}

TEST_F(Identity, FileNameFollowsTheLastModuleNames)
{
    client->set_module_names("", "");
    EXPECT_EQ(ask(&host::identity_service::get_file_name), "");
    client->set_module_names("C:\\player\\components", "vexil_status.dll");
    EXPECT_EQ(ask(&host::identity_service::get_file_name), "vexil_status.dll");
    client->set_module_names("C:\\other", "renamed.dll");
    EXPECT_EQ(ask(&host::identity_service::get_file_name), "renamed.dll");
    client->set_module_names("C:\\other", nullptr);
    EXPECT_EQ(ask(&host::identity_service::get_file_name), "") << "a null name reads as empty";
}

// Before the host names the module, its file name is "". Asked of a copy of
// the DLL: a module of its own, which no other test has named.
TEST(IdentityOfAFreshModule, HasNoFileNameBeforeTheHostGivesIt)
{
    const fresh_component fresh;
    ASSERT_NE(fresh.bound.client, nullptr);
    ASSERT_NE(fresh.bound.module, loaded_component::get().module);
    auto* identity = host::instance<host::identity_service>(fresh.bound.client, host::identity_class);
    host::host_text sink;
    sink.text = "stale";
    identity->get_file_name(&sink);
    EXPECT_EQ(sink.text, "");
    identity->release();
}

} // namespace
