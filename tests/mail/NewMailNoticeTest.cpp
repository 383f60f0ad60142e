#include "mail/NewMailNotice.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

MailMessageList Headers(int count)
{
    MailMessageList headers;
    for (int i = 1; i <= count; ++i)
        headers.emplace_back(std::to_string(i), TMailMessage{"From " + std::to_string(i),
                                                             "Subject " + std::to_string(i)});
    return headers;
}

TEST(NewMailNotice, TheCountAsTheWindowSaysItAndAtMostFiveLinesNewestFirst)
{
    const struct
    {
        const char* name;
        std::vector<EntryWithNewMail> entries;
        std::string summary;
        std::vector<std::string> lines;
    } cases[] = {
        {"one message",
         {{"Home", 1, Headers(1)}},
         "A new mail message has arrived at 'Home'",
         {"From 1: Subject 1"}},
        {"seven messages, five shown",
         {{"Home", 7, Headers(7)}},
         "7 new mail messages have arrived at 'Home'",
         {"From 7: Subject 7", "From 6: Subject 6", "From 5: Subject 5", "From 4: Subject 4",
          "From 3: Subject 3"}},
        {"two entries without headers",
         {{"Home", 2, {}}, {"Work", 1, {}}},
         "3 new mail messages have arrived",
         {"Home: 2 messages", "Work: 1 message"}},
        {"an empty sender and subject",
         {{"Home", 1, {{"1", TMailMessage{}}}}},
         "A new mail message has arrived at 'Home'",
         {"(no sender): (no subject)"}},
        {"nothing", {}, "", {}},
    };
    for (const auto& c : cases) {
        const auto notice = ComposeNewMailNotice(c.entries);
        EXPECT_EQ(notice.summary, c.summary) << c.name;
        EXPECT_EQ(notice.lines, c.lines) << c.name;
    }
}

} // namespace
} // namespace vorlane
