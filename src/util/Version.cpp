#include "util/Version.h"

#include "VersionInfo.h"
#include "util/AsciiCase.h"

namespace vorlane {

std::optional<std::string> QueryVersionValue(const VersionResource& resource, std::string_view path)
{
    constexpr std::string_view prefix = "StringFileInfo\\";
    if (path.size() < prefix.size() || !EqualsIgnoringCase(path.substr(0, prefix.size()), prefix))
        return std::nullopt;
    path.remove_prefix(prefix.size());
    const auto separator = path.find('\\');
    if (separator == std::string_view::npos)
        return std::nullopt;
    const auto table = path.substr(0, separator);
    const auto name = path.substr(separator + 1);
    for (const auto& candidate : resource.stringTables) {
        if (!EqualsIgnoringCase(candidate.languageCodePage, table))
            continue;
        for (const auto& [key, value] : candidate.strings)
            if (EqualsIgnoringCase(key, name))
                return value;
    }
    return std::nullopt;
}

std::string GetVersionString(const VersionResource* resource)
{
    if (resource == nullptr)
        return {};
    if (auto dutch = QueryVersionValue(*resource, "StringFileInfo\\041304E4\\FileVersion"))
        return *dutch;
    if (auto english = QueryVersionValue(*resource, "StringFileInfo\\040904E4\\FileVersion"))
        return *english;
    return {};
}

const VersionResource& ProgramVersionResource()
{
    static const VersionResource resource{
        {{"040904E4",
          {{"CompanyName", "Vorlane"},
           {"FileDescription", "POP3 mail checker and time synchronization tool"},
           {"FileVersion", VORLANE_VERSION},
           {"ProductName", "Vorlane"},
           {"ProductVersion", VORLANE_VERSION}}}}};
    return resource;
}

std::string GetVersionString()
{
    return GetVersionString(&ProgramVersionResource());
}

} // namespace vorlane
