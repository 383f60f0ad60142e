#pragma once

#include "config/RegFile.h"
#include "config/RegistryKey.h"

#include <filesystem>
#include <functional>
#include <optional>

namespace vorlane {

// The registry of the current user, kept in one registry editor file. Reads take a snapshot of
// the file; every change is one transaction under a lock: read, change, write a temporary file,
// flush, rename over the old one. So a reader sees all of a change or none of it, two writers
// never interleave, and a failed write leaves the previous file in place. A file that cannot be
// read or parsed is never overwritten: a change refuses it, or, when asked to, sets it aside.
class RegistryStore
{
public:
    explicit RegistryStore(std::filesystem::path file, RegFileOptions options = {});

    // $XDG_CONFIG_HOME/Vorlane/registry.reg, default ~/.config/Vorlane/registry.reg.
    static std::filesystem::path DefaultPath();

    const std::filesystem::path& Path() const { return file_; }

    // The HKEY_CURRENT_USER key; empty when the file does not exist.
    RegistryKey Read() const;

    // What a change does when the file exists but cannot be read or parsed (a parse error, a
    // folder in its place, no right to read it).
    enum class DamagedFile
    {
        // Fails with the file's RegistryFileError and touches nothing.
        Refuse,
        // Renames whatever stands at the file's place to "<file>.damaged" (".damaged.1", ".2"
        // and so on when that name is taken; nothing is ever renamed over), applies the change to
        // an empty registry and stores that. For a deliberate save of fresh settings.
        SetAside,
    };

    // Applies the change to the current content and stores the result, all or nothing. A change
    // that throws stores nothing. Nothing is written when the content stays the same. Returns
    // where a damaged file was set aside, or nothing when none was; if storing fails after that,
    // the damaged file is put back in its place.
    std::optional<std::filesystem::path>
    Modify(const std::function<void(RegistryKey& root)>& change,
           DamagedFile damaged = DamagedFile::Refuse);

    // Deletes the temporary files that interrupted saves left beside the file ("<file name>."
    // and six letters or digits, as mkstemp names them, but for a word in lower case, which is
    // more likely a copy the user made), and nothing else. Every save holds the
    // lock while its temporary file exists, so this runs under the lock; while a save is under
    // way it deletes nothing and returns at once. A missing folder is no error; a folder that
    // cannot be listed or a leftover that cannot be deleted fails with a RegistryFileError.
    void RemoveInterruptedSaves();

private:
    std::filesystem::path file_;
    RegFileOptions options_;
};

} // namespace vorlane
