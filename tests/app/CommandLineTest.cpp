#include "app/CommandLine.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

using Action = StartCommand::Action;

TEST(CommandLine, EachCommandItsActionAndMistakesExitWithTwo)
{
    const struct
    {
        std::vector<std::string> arguments;
        Action action;
        bool json;
        int exitCode;
        const char* word;
    } cases[] = {
        {{"vorlane"}, Action::Run, false, 0, "settings"},
        {{"vorlane", "--settings"}, Action::Settings, false, 0, "settings"},
        {{"vorlane", "--check-now"}, Action::CheckNow, false, 0, "check-now"},
        {{"vorlane", "--stop-waving"}, Action::StopWaving, false, 0, "stop-waving"},
        {{"vorlane", "--quit"}, Action::Quit, false, 0, "quit"},
        {{"vorlane", "--check"}, Action::Check, false, 0, ""},
        {{"vorlane", "--check", "--json"}, Action::Check, true, 0, ""},
        {{"vorlane", "--version"}, Action::Exit, false, 0, ""},
        {{"vorlane", "-h"}, Action::Exit, false, 0, ""},
        {{"vorlane", "--bogus"}, Action::Exit, false, 2, ""},
        {{"vorlane", "stray"}, Action::Exit, false, 2, ""},
        {{"vorlane", "--json"}, Action::Exit, false, 2, ""},
        {{"vorlane", "--quit", "--check-now"}, Action::Exit, false, 2, ""},
    };
    for (const auto& c : cases) {
        const auto command = ParseCommandLine(c.arguments);
        const auto name = c.arguments.size() > 1 ? c.arguments[1] : "(none)";
        EXPECT_EQ(command.action, c.action) << name;
        EXPECT_EQ(command.json, c.json) << name;
        EXPECT_EQ(command.exitCode, c.exitCode) << name;
        EXPECT_EQ(command.InstanceWord(), c.word) << name;
    }
    EXPECT_TRUE(ParseCommandLine({"vorlane", "--help"}).output.starts_with("Usage: vorlane"));
    EXPECT_EQ(ParseCommandLine({"vorlane", "--version"}).output, "Vorlane 1.0.0\n");
    EXPECT_TRUE(ParseCommandLine({"vorlane", "--bogus"}).outputIsError);
}

} // namespace
} // namespace vorlane
