#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vorlane {

// A version resource: string tables keyed by language and code page ("040904E4" is US English,
// Windows-1252), each a list of named strings such as "FileVersion".
struct VersionStringTable
{
    std::string languageCodePage;
    std::vector<std::pair<std::string, std::string>> strings;
};

struct VersionResource
{
    std::vector<VersionStringTable> stringTables;
};

// Looks up "StringFileInfo\<language><codepage>\<name>"; names compare without letter case.
std::optional<std::string> QueryVersionValue(const VersionResource& resource,
                                             std::string_view path);

// "FileVersion" of the Dutch table, else of the US English table, else empty. A null resource
// (the program has none) gives the empty text too.
std::string GetVersionString(const VersionResource* resource);

// The version resource compiled into this program: a US English table only.
const VersionResource& ProgramVersionResource();

// GetVersionString of the running program.
std::string GetVersionString();

} // namespace vorlane
