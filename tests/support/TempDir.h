#pragma once

#include <filesystem>
#include <string>

namespace vorlane::test {

// A fresh folder below the system's temporary folder, removed with everything in it at the end.
class TempDir
{
public:
    explicit TempDir(const std::string& label = "test");
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir();

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// Whole-file helpers for fixtures.
std::string ReadFile(const std::filesystem::path& file);
void WriteFile(const std::filesystem::path& file, const std::string& content);

} // namespace vorlane::test
