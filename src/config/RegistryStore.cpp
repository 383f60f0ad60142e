#include "config/RegistryStore.h"

#include "config/RegistryError.h"
#include "util/AtomicFile.h"
#include "util/FileDescriptor.h"
#include "util/UserFolder.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace vorlane {

namespace {

[[noreturn]] void FailOnFile(const std::filesystem::path& file, const std::string& what, int error)
{
    throw RegistryFileError(what + " " + file.string() + ": " + std::strerror(error));
}

// Takes the lock that every writer holds for as long as its temporary file exists: flock on
// <file>.lock, released when the descriptor closes. Without waiting, an invalid descriptor when
// another writer holds it.
FileDescriptor LockWriters(const std::filesystem::path& file, bool wait)
{
    const auto lockName = file.string() + ".lock";
    FileDescriptor lock(::open(lockName.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (lock.Get() < 0)
        FailOnFile(lockName, "Cannot lock", errno);
    while (::flock(lock.Get(), wait ? LOCK_EX : LOCK_EX | LOCK_NB) != 0) {
        if (!wait && errno == EWOULDBLOCK)
            return FileDescriptor(-1);
        if (errno != EINTR)
            FailOnFile(lockName, "Cannot lock", errno);
    }
    return lock;
}

// The name mkstemp gives a temporary file of the file: "<name>." and six letters or digits.
bool IsTemporaryName(std::string_view name, std::string_view fileName)
{
    constexpr std::size_t kRandomLength = 6;
    if (name.size() != fileName.size() + 1 + kRandomLength || !name.starts_with(fileName) ||
        name[fileName.size()] != '.')
        return false;
    const auto random = name.substr(fileName.size() + 1);
    const auto lower = [](char c) { return c >= 'a' && c <= 'z'; };
    // A word in lower case ("backup", "before") is more likely a copy the user made than one of
    // the rare temporary names without a digit or capital.
    return !std::all_of(random.begin(), random.end(), lower) &&
           std::all_of(random.begin(), random.end(), [&](char c) {
               return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || lower(c);
           });
}

[[noreturn]] void FailToRead(const std::filesystem::path& file, int error)
{
    if (error == FileContent::kNotRegularFile)
        throw RegistryFileError("Cannot read " + file.string() + ": not a regular file");
    FailOnFile(file, "Cannot read", error);
}

// A failure that says nothing about the file: this process ran short of something.
bool ShortOfResources(int error)
{
    return error == EMFILE || error == ENFILE || error == ENOMEM || error == ENOBUFS;
}

// Renames whatever stands at the file's place to <file>.damaged, or .damaged.1, .damaged.2 ...
// when that is taken, never replacing anything. Returns the new name.
std::filesystem::path SetAside(const std::filesystem::path& file)
{
    for (int attempt = 0;; ++attempt) {
        auto name = file.string() + ".damaged";
        if (attempt > 0)
            name += "." + std::to_string(attempt);
        if (::renameat2(AT_FDCWD, file.c_str(), AT_FDCWD, name.c_str(), RENAME_NOREPLACE) == 0)
            return name;
        if (errno != EEXIST)
            FailOnFile(file, "Cannot set aside", errno);
    }
}

// The registry's own failure, with the same words.
void StoreFile(const std::filesystem::path& file, const std::string& content)
{
    try {
        ReplaceAtomically(file, content);
    } catch (const FileError& error) {
        throw RegistryFileError(error.what());
    }
}

} // namespace

RegistryStore::RegistryStore(std::filesystem::path file, RegFileOptions options)
    : file_(std::move(file)), options_(std::move(options))
{}

std::filesystem::path RegistryStore::DefaultPath()
{
    return UserFolder("XDG_CONFIG_HOME", ".config") / "Vorlane" / "registry.reg";
}

RegistryKey RegistryStore::Read() const
{
    const auto content = ReadWholeFile(file_);
    if (content.error != 0)
        FailToRead(file_, content.error);
    return content.exists ? ParseRegFile(content.bytes, file_.string(), options_)
                          : RegistryKey("HKEY_CURRENT_USER");
}

std::optional<std::filesystem::path>
RegistryStore::Modify(const std::function<void(RegistryKey& root)>& change, DamagedFile damaged)
{
    std::error_code error;
    std::filesystem::create_directories(file_.parent_path(), error);
    if (error)
        FailOnFile(file_.parent_path(), "Cannot create the folder", error.value());

    const auto lock = LockWriters(file_, true);
    const auto before = ReadWholeFile(file_);
    RegistryKey root("HKEY_CURRENT_USER");
    bool isDamaged = false;
    if (before.error != 0) {
        if (damaged == DamagedFile::Refuse || ShortOfResources(before.error))
            FailToRead(file_, before.error);
        isDamaged = true;
    } else if (before.exists) {
        try {
            root = ParseRegFile(before.bytes, file_.string(), options_);
        } catch (const RegistryFileError&) {
            if (damaged == DamagedFile::Refuse)
                throw;
            isDamaged = true;
        }
    }
    change(root);
    const auto after = SerializeRegFile(root);
    if (!isDamaged) {
        if (!before.exists || before.bytes != after)
            StoreFile(file_, after);
        return std::nullopt;
    }
    const auto aside = SetAside(file_);
    try {
        StoreFile(file_, after);
    } catch (...) {
        ::renameat2(AT_FDCWD, aside.c_str(), AT_FDCWD, file_.c_str(), RENAME_NOREPLACE);
        throw;
    }
    return aside;
}

void RegistryStore::RemoveInterruptedSaves()
{
    const auto folder = file_.parent_path();
    struct stat status
    {};
    if (::stat(folder.c_str(), &status) != 0 && errno == ENOENT)
        return;
    const auto lock = LockWriters(file_, false);
    if (lock.Get() < 0)
        return; // a save is under way; its temporary file is not a leftover
    const auto fileName = file_.filename().string();
    std::error_code error;
    std::filesystem::directory_iterator entry(folder, error);
    for (; !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
        if (!IsTemporaryName(entry->path().filename().string(), fileName) ||
            entry->symlink_status().type() == std::filesystem::file_type::directory)
            continue;
        if (::unlink(entry->path().c_str()) != 0 && errno != ENOENT)
            FailOnFile(entry->path(), "Cannot remove", errno);
    }
    if (error)
        FailOnFile(folder, "Cannot list the folder", error.value());
}

} // namespace vorlane
