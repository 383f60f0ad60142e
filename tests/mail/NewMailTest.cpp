// Whether a poll announces new mail, and what its message says.
#include "mail/NewMail.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(NewMail, UnseenOnlyCountsUnseenMessagesWhereTheServerListedThem)
{
    const struct
    {
        const char* name;
        int count; // this poll's count; the previous poll found 2 messages of 200 octets
        bool unseenOnly;
        std::optional<int> unseen;
        NewMailDecision decision;
        MailProtocol protocol = MailProtocol::Pop3;
    } cases[] = {
        {"count changed", 3, false, 1, {true, 3}},
        {"count unchanged", 2, false, std::nullopt, {false, 2}},
        {"mailbox emptied", 0, false, std::nullopt, {false, 0}},
        {"unseen only: one unseen", 3, true, 1, {true, 1}},
        {"unseen only: one replaced by another", 2, true, 1, {true, 1}},
        {"unseen only: one removed", 1, true, 0, {false, 0}},
        {"unseen only without a listing", 3, true, std::nullopt, {true, 3}},
        {"IMAP: only the unseen never found before", 3, false, 0, {false, 0}, MailProtocol::Imap},
        {"IMAP: one unseen", 3, false, 1, {true, 1}, MailProtocol::Imap},
    };
    for (const auto& c : cases) {
        TMailServer entry("Home", "joe", "", "pop.example.org", 10);
        entry.Protocol = c.protocol;
        entry.SetMessageCount(2);
        entry.SetMailboxSize(200);
        entry.SetMessageCount(c.count);
        entry.SetMailboxSize(100 * c.count);
        EXPECT_EQ(DecideNewMail(entry, c.unseenOnly, c.unseen), c.decision) << c.name;
    }
}

TEST(NewMail, OneMessageIsAnnouncedInWordsMoreInFigures)
{
    EXPECT_EQ(NewMailText(1, "Office"), "A new mail message has arrived at 'Office'");
    EXPECT_EQ(NewMailText(3, "Office"), "3 new mail messages have arrived at 'Office'");
}

} // namespace
} // namespace vorlane
