#pragma once

#include "config/RegFile.h"
#include "config/RegistryKey.h"

#include <filesystem>
#include <functional>

namespace vorlane {

// The registry of the current user, kept in one registry editor file. Reads take a snapshot of
// the file; every change is one transaction under a lock: read, change, write a temporary file,
// flush, rename over the old one. So a reader sees all of a change or none of it, two writers
// never interleave, and a failed write leaves the previous file in place. A file that cannot be
// parsed is never overwritten.
class RegistryStore
{
public:
    explicit RegistryStore(std::filesystem::path file, RegFileOptions options = {});

    // $XDG_CONFIG_HOME/Vorlane/registry.reg, default ~/.config/Vorlane/registry.reg.
    static std::filesystem::path DefaultPath();

    const std::filesystem::path& Path() const { return file_; }

    // The HKEY_CURRENT_USER key; empty when the file does not exist.
    RegistryKey Read() const;

    // Applies the change to the current content and stores the result, all or nothing. A change
    // that throws stores nothing. Nothing is written when the content stays the same.
    void Modify(const std::function<void(RegistryKey& root)>& change);

    // Deletes the temporary files that interrupted saves left beside the file ("<file name>."
    // and six letters or digits, as mkstemp names them), and nothing else. Every save holds the
    // lock while its temporary file exists, so this runs under the lock; while a save is under
    // way it deletes nothing and returns at once. A missing folder is no error; a folder that
    // cannot be listed or a leftover that cannot be deleted fails with a RegistryFileError.
    void RemoveInterruptedSaves();

private:
    std::filesystem::path file_;
    RegFileOptions options_;
};

} // namespace vorlane
