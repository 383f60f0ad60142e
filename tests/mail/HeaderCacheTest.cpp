// The header cache: what it keeps of a mailbox, its file, and the folder of files.
#include "mail/HeaderCache.h"

#include "mail/HeaderCacheStore.h"
#include "mail/UniqueIdListing.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorlane {
namespace {

MailboxIdentity Home()
{
    return MailboxIdentity::Pop3({"Home", "joe", "", "Pop.Example.ORG", 10});
}

HeaderCache Sample()
{
    HeaderCache cache;
    cache.Add("uid-1", {"Ann <ann@example.org>", "Tab\there, back\\slash"});
    cache.Add("uid-2", {"=?UTF-8?Q?Bj=C3=B6rn?=", "Folded\r\n line \xE9"});
    cache.Listed({"uid-1", "uid-2", "uid-3"});
    return cache;
}

mode_t ModeOf(const std::filesystem::path& path)
{
    struct stat status
    {};
    ::stat(path.c_str(), &status);
    return status.st_mode & 0777;
}

TEST(MailboxIdentity, HostNamesMatchInAnyCaseAndEveryOtherPartCounts)
{
    const auto home = Home();
    EXPECT_EQ(home.Host, "pop.example.org");
    EXPECT_EQ(MailboxIdentity::Pop3({"Other name", "joe", "pw", "POP.example.org", 5}), home);
    EXPECT_EQ(home.FileStem().size(), 16u);
    for (const auto& other : {MailboxIdentity{"pop3", "pop.example.org", "Joe", ""},
                              MailboxIdentity{"imap", "pop.example.org", "joe", ""},
                              MailboxIdentity{"pop3", "pop.example.org", "joe", "INBOX"},
                              MailboxIdentity{"pop3", "pop.example.orgjoe", "", ""}})
        EXPECT_NE(other.FileStem(), home.FileStem()) << other.Host << other.User << other.Folder;
}

TEST(UniqueIdListing, TakesValidLinesInRangeAndRefusesAmbiguousListings)
{
    UniqueIdListing listing;
    listing.Begin(3, 5);
    for (const char* line : {"3 a", "4", "5 b  ", "6 c", "2 d", "x e", "4 tab\tinside", "-1 f"})
        listing.Read(line);
    EXPECT_EQ(listing.Result(), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_TRUE(IsValidUniqueId(std::string(UniqueIdListing::kMaxIdLength, '!')));
    EXPECT_FALSE(IsValidUniqueId(std::string(UniqueIdListing::kMaxIdLength + 1, 'x')));
    EXPECT_FALSE(IsValidUniqueId("caf\xC3\xA9"));

    listing.Read("5 a");
    EXPECT_FALSE(listing.Result()) << "message 5 listed twice, and with the id of message 3";
}

TEST(HeaderCache, RemembersHeadersAndTellsUnseenIds)
{
    HeaderCache cache;
    EXPECT_EQ(cache.CountUnseen({"a", "b", ""}), 2) << "everything is unseen at first";
    cache.Add("a", {"From a", "Subject a"});
    cache.Add("b", {"From b", ""});
    cache.Add("bad id", {"From c", ""});
    EXPECT_EQ(cache.Size(), 2u);
    ASSERT_NE(cache.Find("a"), nullptr);
    EXPECT_EQ(cache.Find("a")->Subject, "Subject a");

    cache.Listed({"b", "c"});
    EXPECT_EQ(cache.Find("a"), nullptr) << "no longer on the server";
    EXPECT_NE(cache.Find("b"), nullptr);
    EXPECT_EQ(cache.CountUnseen({"b", "c", "d"}), 1);
    cache.Listed({});
    EXPECT_TRUE(cache.Empty());
}

TEST(HeaderCache, IsBoundedInRecordsAndValueLength)
{
    HeaderCache cache;
    for (std::size_t i = 0; i < HeaderCache::kMaxHeaders; ++i)
        cache.Add("id" + std::to_string(i), {"f", "s"});
    cache.Add("one more", {"f", "s"});
    EXPECT_EQ(cache.Size(), HeaderCache::kMaxHeaders);
    EXPECT_EQ(cache.Find("one more"), nullptr);
    cache.Add("id0", {std::string(5000, 'x'), "changed"});
    EXPECT_EQ(cache.Find("id0")->Subject, "changed") << "a known id is still updated";
    EXPECT_EQ(cache.Find("id0")->From.size(), HeaderCache::kMaxValueLength);
}

TEST(HeaderCache, ItsFileReadsBackAsWritten)
{
    const auto cache = Sample();
    const auto text = cache.Serialize(Home());
    EXPECT_TRUE(text.starts_with("Vorlane header cache 1\nmailbox\tpop3\tpop.example.org\tjoe\t\n"))
        << text;
    EXPECT_NE(text.find("headers\tuid-1\tAnn <ann@example.org>\tTab\\there, back\\\\slash\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("seen\tuid-3\n"), std::string::npos);
    EXPECT_EQ(HeaderCache::Parse(text, Home()), cache);
    EXPECT_EQ(HeaderCache::Parse(HeaderCache().Serialize(Home()), Home()), HeaderCache());
}

TEST(HeaderCache, ADamagedFileOrOneOfAnotherMailboxIsRefused)
{
    const auto good = Sample().Serialize(Home());
    const auto head =
        std::string("Vorlane header cache 1\nmailbox\tpop3\tpop.example.org\tjoe\t\n");
    std::string tooMany = head;
    for (std::size_t i = 0; i <= HeaderCache::kMaxHeaders; ++i)
        tooMany += "seen\tid" + std::to_string(i) + "\n";
    const struct
    {
        const char* name;
        std::string text;
    } cases[] = {
        {"empty", ""},
        {"another format", "Vorlane header cache 2\n" + good.substr(good.find('\n') + 1)},
        {"cut short", good.substr(0, good.size() - 3)},
        {"without the mailbox line", "Vorlane header cache 1\n"},
        {"of another user", "Vorlane header cache 1\nmailbox\tpop3\tpop.example.org\tann\t\n"},
        {"an unknown line", head + "note\tx\n"},
        {"an unknown escape", head + "headers\tid\ta\\x\ts\n"},
        {"a backslash at the end", head + "headers\tid\ta\ts\\\n"},
        {"a field missing", head + "headers\tid\tonly from\n"},
        {"an invalid id", head + "seen\tan id\n"},
        {"a value too long", head + "headers\tid\t" + std::string(999, 'v') + "\ts\n"},
        {"too many ids", tooMany},
        {"a carriage return", head + "seen\tid\r\n"},
    };
    for (const auto& c : cases)
        EXPECT_FALSE(HeaderCache::Parse(c.text, Home())) << c.name;
}

struct StoreFixture
{
    test::TempDir dir{"cache"};
    std::filesystem::path folder = dir / "Vorlane";
};

TEST(HeaderCacheStore, WritesPrivateFilesThatARestartReads)
{
    StoreFixture f;
    {
        HeaderCacheStore store(f.folder);
        EXPECT_TRUE(store.For(Home()).Empty());
        EXPECT_EQ(store.Save(Home()), "");
        EXPECT_FALSE(std::filesystem::exists(f.folder)) << "nothing to remember, no file";
        store.For(Home()) = Sample();
        EXPECT_EQ(store.Save(Home()), "");
    }
    const auto file = f.folder / (Home().FileStem() + ".headers");
    ASSERT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(ModeOf(f.folder), 0700u);
    EXPECT_EQ(ModeOf(file), 0600u);
    const auto written = std::filesystem::last_write_time(file);

    HeaderCacheStore restarted(f.folder);
    EXPECT_EQ(restarted.For(Home()), Sample());
    EXPECT_EQ(restarted.Save(Home()), "");
    EXPECT_EQ(std::filesystem::last_write_time(file), written) << "unchanged, not written";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(f.folder), {}), 1)
        << "no temporary file left";
}

TEST(HeaderCacheStore, ADamagedOrForeignFileIsDroppedNotUsed)
{
    for (const std::string& content :
         {std::string("garbage\n"), Sample().Serialize({"pop3", "elsewhere", "joe", ""}),
          std::string(HeaderCacheStore::kMaxFileSize + 1, '\n')}) {
        StoreFixture f;
        std::filesystem::create_directories(f.folder);
        const auto file = f.folder / (Home().FileStem() + ".headers");
        test::WriteFile(file, content);
        HeaderCacheStore store(f.folder);
        EXPECT_TRUE(store.For(Home()).Empty());
        EXPECT_FALSE(std::filesystem::exists(file));
        store.For(Home()) = Sample();
        EXPECT_EQ(store.Save(Home()), "");
        EXPECT_EQ(HeaderCacheStore(f.folder).For(Home()), Sample());
    }
}

TEST(HeaderCacheStore, KeepsOnlyTheMailboxesOfTheEntries)
{
    StoreFixture f;
    const MailboxIdentity gone{"pop3", "old.example.org", "joe", ""};
    HeaderCacheStore store(f.folder);
    for (const auto& mailbox : {Home(), gone}) {
        store.For(mailbox) = Sample();
        ASSERT_EQ(store.Save(mailbox), "");
    }
    const auto leftover = f.folder / (Home().FileStem() + ".headers.a1B2c3");
    const auto unrelated = f.folder / "notes.txt";
    test::WriteFile(leftover, "half");
    test::WriteFile(unrelated, "mine");

    store.KeepOnly({Home()});
    EXPECT_TRUE(std::filesystem::exists(f.folder / (Home().FileStem() + ".headers")));
    EXPECT_FALSE(std::filesystem::exists(f.folder / (gone.FileStem() + ".headers")));
    EXPECT_FALSE(std::filesystem::exists(leftover));
    EXPECT_TRUE(std::filesystem::exists(unrelated));
    EXPECT_TRUE(store.For(gone).Empty()) << "forgotten in memory too";
    EXPECT_EQ(store.For(Home()), Sample());
}

TEST(HeaderCacheStore, AFolderThatCannotBeWrittenIsToldNotThrown)
{
    StoreFixture f;
    test::WriteFile(f.dir / "file", "in the way");
    HeaderCacheStore store(f.dir / "file" / "Vorlane");
    store.For(Home()) = Sample();
    const auto failure = store.Save(Home());
    EXPECT_NE(failure.find((f.dir / "file").string()), std::string::npos) << failure;
}

} // namespace
} // namespace vorlane
