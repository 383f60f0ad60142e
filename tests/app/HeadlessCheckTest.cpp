// `vorlane --check` against a real Dovecot: what it prints and how it exits.
#include "app/HeadlessCheck.h"

#include "config/SettingsStore.h"
#include "servers/Dovecot.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <sstream>

namespace vorlane {
namespace {

using test::Dovecot;

struct CheckRun
{
    int code;
    std::string output;
};

TEST(HeadlessCheck, PrintsEveryMailboxAndExitsByWhatItFound)
{
    std::string why;
    if (!Dovecot::Available(why))
        GTEST_SKIP() << why;
    Dovecot server;
    server.AddUser("joe", "secret");
    const int size = server.AddMessage("joe", "Ann <ann@example.org>", "Hello");
    server.Start();

    const test::TempDir dir("check");
    RegistryStore store(dir / "registry.reg", SettingsFileOptions());
    Settings settings;
    settings.ConnectionTimeout = 10;
    WriteSettings(store, settings,
                  {{"Home", "joe", "127.0.0.1", "10", "secret"},
                   {"Wrong", "joe", "127.0.0.1", "10", "not the password"}});
    const auto run = [&](bool json, const std::vector<MailServerRow>* rows = nullptr) {
        if (rows != nullptr)
            WriteSettings(store, settings, *rows);
        std::ostringstream out;
        HeadlessCheck check{store, (dir / "Vorlane.log").string(), dir / "last-check.reg",
                            server.Port()};
        const int code = check.Run(json, out);
        return CheckRun{code, out.str()};
    };

    const auto first = run(true);
    EXPECT_EQ(first.code, 2) << "a check failed";
    EXPECT_NE(first.output.find("{\"count\":1,\"error\":null,\"name\":\"Home\",\"new\":true,"
                                "\"size\":" +
                                std::to_string(size) + "}"),
              std::string::npos)
        << first.output;
    EXPECT_NE(first.output.find("\"name\":\"Wrong\",\"new\":false"), std::string::npos)
        << first.output;
    EXPECT_NE(first.output.find("The specified password is incorrect."), std::string::npos)
        << first.output;

    const std::vector<MailServerRow> home = {{"Home", "joe", "127.0.0.1", "10", "secret"}};
    const auto second = run(false, &home);
    EXPECT_EQ(second.code, 0) << "the same mail is not new again";
    EXPECT_EQ(second.output, "Home\t1\t" + std::to_string(size) + "\told\t\n");

    server.AddMessage("joe", "Bob <bob@example.org>", "Lunch?");
    const auto third = run(false);
    EXPECT_EQ(third.code, 1) << third.output;
    EXPECT_TRUE(third.output.starts_with("Home\t2\t")) << third.output;
}

} // namespace
} // namespace vorlane
