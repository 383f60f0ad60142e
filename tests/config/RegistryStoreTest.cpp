#include "config/RegistryStore.h"

#include "config/RegistryError.h"
#include "support/TempDir.h"

#include <csignal>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vorlane {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

constexpr const char* kKey = "SOFTWARE\\Mirvo\\Vorlane";

std::vector<std::string> FolderContents(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Runs body in a child process and returns its exit status.
template <typename Body> int InChild(Body body)
{
    const pid_t child = ::fork();
    if (child == 0) {
        int code = 0;
        try {
            code = body();
        } catch (...) {
            code = 99;
        }
        ::_exit(code);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Stores a change of 100 kB in a child process that may write only a few kilobytes, so that the
// new content is cut off half way. True when the child saw the failure as a RegistryFileError.
bool ABigChangeFailsForWantOfSpace(
    RegistryStore& store, RegistryStore::DamagedFile damaged = RegistryStore::DamagedFile::Refuse)
{
    const int status = InChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        try {
            store.Modify(
                [](RegistryKey& root) {
                    root.CreateKey(kKey).SetValue("Big", {REG_BINARY, std::string(100000, 'x')});
                },
                damaged);
        } catch (const RegistryFileError&) {
            return 0;
        }
        return 1;
    });
    return status == 0;
}

TEST(RegistryStore, DefaultPathFollowsXdgConfigHome)
{
    const auto* config = std::getenv("XDG_CONFIG_HOME");
    ASSERT_NE(config, nullptr);
    EXPECT_EQ(RegistryStore::DefaultPath(),
              std::filesystem::path(config) / "Vorlane" / "registry.reg");
}

TEST(RegistryStore, MissingFileReadsAsAnEmptyRegistry)
{
    const TempDir dir;
    const RegistryStore store(dir / "none" / "registry.reg");
    EXPECT_TRUE(store.Read().Subkeys().empty());
    EXPECT_FALSE(std::filesystem::exists(dir / "none"));
}

TEST(RegistryStore, ModifyCreatesThePrivateFileAndKeepsTheChange)
{
    const TempDir dir;
    RegistryStore store(dir / "Vorlane" / "registry.reg");
    store.Modify(
        [](RegistryKey& root) { root.CreateKey(kKey).SetValue("Interval", IntegerValue(5)); });

    struct stat status
    {};
    ASSERT_EQ(::stat(store.Path().c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    EXPECT_TRUE(ReadFile(store.Path()).starts_with("REGEDIT4\r\n"));
    EXPECT_EQ(*store.Read().OpenKey(kKey)->FindValue("interval"), IntegerValue(5));
    EXPECT_EQ(FolderContents(dir / "Vorlane"),
              (std::vector<std::string>{"registry.reg", "registry.reg.lock"}));
}

TEST(RegistryStore, UnchangedContentIsNotRewritten)
{
    const TempDir dir;
    RegistryStore store(dir / "registry.reg");
    store.Modify([](RegistryKey& root) { root.CreateKey(kKey).SetValue("A", IntegerValue(1)); });
    struct stat before
    {};
    ::stat(store.Path().c_str(), &before);
    store.Modify([](RegistryKey& root) { root.CreateKey(kKey).SetValue("a", IntegerValue(1)); });
    struct stat after
    {};
    ::stat(store.Path().c_str(), &after);
    EXPECT_EQ(before.st_ino, after.st_ino);
}

TEST(RegistryStore, AChangeThatFailsStoresNothing)
{
    const TempDir dir;
    RegistryStore store(dir / "registry.reg");
    store.Modify([](RegistryKey& root) { root.CreateKey(kKey).SetValue("A", IntegerValue(1)); });
    const auto before = ReadFile(store.Path());
    EXPECT_THROW(store.Modify([](RegistryKey& root) {
        root.DeleteKey(kKey);
        throw std::runtime_error("half way");
    }),
                 std::runtime_error);
    EXPECT_EQ(ReadFile(store.Path()), before);
}

TEST(RegistryStore, CorruptFileFailsClearlyAndIsNeverOverwritten)
{
    const TempDir dir;
    RegistryStore store(dir / "registry.reg");
    const std::string corrupt =
        "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE]\r\n\"x\"=dword:zz\r\n";
    WriteFile(store.Path(), corrupt);
    try {
        store.Read();
        ADD_FAILURE() << "a corrupt file was read";
    } catch (const RegistryFileError& error) {
        EXPECT_EQ(std::string(error.what()),
                  store.Path().string() + ":4: expected up to eight hexadecimal digits");
    }
    EXPECT_THROW(store.Modify([](RegistryKey& root) { root.CreateKey("A"); }), RegistryFileError);
    EXPECT_EQ(ReadFile(store.Path()), corrupt);
}

TEST(RegistryStore, AnInterruptedWriteLeavesThePreviousFile)
{
    const TempDir dir;
    RegistryStore store(dir / "registry.reg");
    store.Modify(
        [](RegistryKey& root) { root.CreateKey(kKey).SetValue("Keep", StringValue("me")); });
    const auto before = ReadFile(store.Path());

    EXPECT_TRUE(ABigChangeFailsForWantOfSpace(store)) << "the failed write must be reported";
    EXPECT_EQ(ReadFile(store.Path()), before);
    EXPECT_EQ(FolderContents(dir.Path()),
              (std::vector<std::string>{"registry.reg", "registry.reg.lock"}));
}

TEST(RegistryStore, RemoveInterruptedSavesDeletesOnlyLeftoverTemporaryFiles)
{
    const TempDir dir;
    RegistryStore store(dir / "registry.reg");
    store.Modify([](RegistryKey& root) { root.CreateKey(kKey); });
    for (const char* leftover :
         {"registry.reg.AbC123", "registry.reg.000000", "registry.reg.zZ9aQ0"})
        WriteFile(dir / leftover, "REGEDIT4\r\n[HKEY_CURRENT_USER\\half");
    const std::vector<std::string> kept = {
        "other.reg.AbC123",
        "registry.reg",
        "registry.reg.AbC-12",
        "registry.reg.AbC12",
        "registry.reg.AbC12.",
        "registry.reg.AbC1234",
        "registry.reg.Ab 123",
        "registry.reg.Ab\xC3\xA9"
        "12",
        "registry.reg.bak",
        "registry.reg.backup",
        "registry.reg.damaged",
        "registry.reg.lock",
        "registry.regXAbC123",
        "xregistry.reg.AbC123",
    };
    for (const auto& name : kept)
        if (!std::filesystem::exists(dir / name))
            WriteFile(dir / name, "keep");
    std::filesystem::create_directory(dir / "registry.reg.Dir123");

    store.RemoveInterruptedSaves();

    auto expected = kept;
    expected.push_back("registry.reg.Dir123");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(FolderContents(dir.Path()), expected);
    EXPECT_NE(store.Read().OpenKey(kKey), nullptr);
}

TEST(RegistryStore, RemoveInterruptedSavesLeavesASaveInProgressAlone)
{
    const TempDir dir;
    RegistryStore store(dir / "registry.reg");
    // A writer between mkstemp and rename: it holds the lock, its temporary file exists.
    const int writer = ::open((dir / "registry.reg.lock").c_str(), O_RDWR | O_CREAT, 0600);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(::flock(writer, LOCK_EX), 0);
    WriteFile(dir / "registry.reg.Live01", "REGEDIT4\r\n");

    store.RemoveInterruptedSaves();
    EXPECT_TRUE(std::filesystem::exists(dir / "registry.reg.Live01"));

    ::close(writer); // the writer died before its rename
    store.RemoveInterruptedSaves();
    EXPECT_FALSE(std::filesystem::exists(dir / "registry.reg.Live01"));
}

TEST(RegistryStore, RemoveInterruptedSavesWithoutFolderDoesNothing)
{
    const TempDir dir;
    RegistryStore store(dir / "none" / "registry.reg");
    EXPECT_NO_THROW(store.RemoveInterruptedSaves());
    EXPECT_FALSE(std::filesystem::exists(dir / "none"));
}

// A settings file that cannot be read or parsed, and what it was.
class DamagedFileTest : public ::testing::Test
{
protected:
    struct Damage
    {
        const char* what;
        std::function<void(const std::filesystem::path&)> make;
        // Checks that what stands at the given place is the damaged file, untouched.
        std::function<void(const std::filesystem::path&)> expectIntact;
    };

    static const std::vector<Damage>& Damages()
    {
        static const std::vector<Damage> damages = {
            {"a parse error", [](const auto& file) { WriteFile(file, kCorrupt); },
             [](const auto& place) { EXPECT_EQ(ReadFile(place), kCorrupt); }},
            {"a folder in its place",
             [](const auto& file) {
                 std::filesystem::create_directory(file);
                 WriteFile(file / "inside", "kept");
             },
             [](const auto& place) { EXPECT_EQ(ReadFile(place / "inside"), "kept"); }},
            {"a pipe in its place",
             [](const auto& file) { ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0); },
             [](const auto& place) {
                 EXPECT_EQ(std::filesystem::status(place).type(), std::filesystem::file_type::fifo);
             }},
        };
        return damages;
    }

    static void Save(RegistryKey& root)
    {
        root.CreateKey(kKey).SetValue("Interval", IntegerValue(5));
    }

    // The store holds exactly the saved change.
    void ExpectSaved() const
    {
        const auto root = store_.Read();
        ASSERT_NE(root.OpenKey(kKey), nullptr);
        EXPECT_EQ(*root.OpenKey(kKey)->FindValue("Interval"), IntegerValue(5));
    }

    static constexpr const char* kCorrupt =
        "REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n\"x\"=dword:zz\r\n";
    const TempDir dir_;
    RegistryStore store_{dir_ / "registry.reg"};
};

TEST_F(DamagedFileTest, IsRefusedUnlessTheSaveMaySetItAside)
{
    for (const auto& damage : Damages()) {
        SCOPED_TRACE(damage.what);
        std::filesystem::remove(store_.Path()); // what the previous round saved
        damage.make(store_.Path());
        EXPECT_THROW(store_.Modify(Save), RegistryFileError);
        EXPECT_THROW(store_.Modify(Save, RegistryStore::DamagedFile::Refuse), RegistryFileError);
        damage.expectIntact(store_.Path());

        const auto aside = store_.Modify(Save, RegistryStore::DamagedFile::SetAside);
        ASSERT_EQ(aside, dir_ / "registry.reg.damaged");
        damage.expectIntact(*aside);
        ExpectSaved();
        std::filesystem::remove_all(*aside);
    }
}

TEST_F(DamagedFileTest, ASoundFileIsNeverSetAside)
{
    store_.Modify([](RegistryKey& root) { root.CreateKey("Other"); });
    EXPECT_EQ(store_.Modify(Save, RegistryStore::DamagedFile::SetAside), std::nullopt);
    ExpectSaved();
    EXPECT_NE(store_.Read().OpenKey("Other"), nullptr);
    EXPECT_EQ(FolderContents(dir_.Path()),
              (std::vector<std::string>{"registry.reg", "registry.reg.lock"}));
}

TEST_F(DamagedFileTest, TakesTheNextFreeNameAndKeepsEarlierOnes)
{
    WriteFile(dir_ / "registry.reg.damaged", "first");
    std::filesystem::create_directory(dir_ / "registry.reg.damaged.1"); // empty: still taken
    for (const char* expected : {"registry.reg.damaged.2", "registry.reg.damaged.3"}) {
        WriteFile(store_.Path(), kCorrupt);
        EXPECT_EQ(store_.Modify(Save, RegistryStore::DamagedFile::SetAside), dir_ / expected);
        EXPECT_EQ(ReadFile(dir_ / expected), kCorrupt);
    }
    EXPECT_EQ(ReadFile(dir_ / "registry.reg.damaged"), "first");
    EXPECT_TRUE(std::filesystem::is_directory(dir_ / "registry.reg.damaged.1"));
    ExpectSaved();
}

TEST_F(DamagedFileTest, AnUnreadableFileIsSetAside)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads a file of mode 000, so no file is unreadable to it; run as "
                        "another user to test this";
    WriteFile(store_.Path(), "REGEDIT4\r\n");
    ASSERT_EQ(::chmod(store_.Path().c_str(), 0), 0);
    EXPECT_THROW(store_.Modify(Save), RegistryFileError);

    const auto aside = store_.Modify(Save, RegistryStore::DamagedFile::SetAside);
    ASSERT_EQ(aside, dir_ / "registry.reg.damaged");
    ExpectSaved();
    ASSERT_EQ(::chmod(aside->c_str(), 0600), 0);
    EXPECT_EQ(ReadFile(*aside), "REGEDIT4\r\n");
}

TEST_F(DamagedFileTest, AFailedSavePutsTheDamagedFileBack)
{
    WriteFile(store_.Path(), kCorrupt);
    EXPECT_TRUE(ABigChangeFailsForWantOfSpace(store_, RegistryStore::DamagedFile::SetAside))
        << "the failed write must be reported";
    EXPECT_EQ(ReadFile(store_.Path()), kCorrupt);
    EXPECT_EQ(FolderContents(dir_.Path()),
              (std::vector<std::string>{"registry.reg", "registry.reg.lock"}));
}

TEST(RegistryStore, ConcurrentWritersDoNotLoseChanges)
{
    const TempDir dir;
    RegistryStore store(dir / "registry.reg");
    constexpr int kRounds = 40;
    const auto increment = [&] {
        for (int i = 0; i < kRounds; ++i)
            store.Modify([](RegistryKey& root) {
                auto& key = root.CreateKey(kKey);
                const auto* counter = key.FindValue("Counter");
                key.SetValue("Counter",
                             IntegerValue((counter ? ReadInteger(*counter, "Counter") : 0) + 1));
            });
        return 0;
    };
    const pid_t other = ::fork();
    if (other == 0)
        ::_exit(increment());
    increment();
    int status = 0;
    ::waitpid(other, &status, 0);
    EXPECT_EQ(ReadInteger(*store.Read().OpenKey(kKey)->FindValue("Counter"), "Counter"),
              2 * kRounds);
}

} // namespace
} // namespace vorlane
