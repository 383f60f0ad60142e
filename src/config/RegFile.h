#pragma once

#include "config/RegistryKey.h"

#include <string>
#include <string_view>
#include <vector>

namespace vorlane {

struct RegFileOptions
{
    // Names of values whose texts are bytes in the Windows code page rather than characters
    // (the scrambled password). When a Unicode export is read, their texts are converted back
    // to those bytes instead of to UTF-8.
    std::vector<std::string> windowsTextValues;
};

// Parses a registry editor export under HKEY_CURRENT_USER: "REGEDIT4" (bytes kept as they are;
// quoted texts that are not UTF-8 are taken as Windows-1252) or "Windows Registry Editor Version
// 5.00" in UTF-16LE with its byte-order mark (texts converted to UTF-8). Returns the
// HKEY_CURRENT_USER key. An empty file is an empty registry. Anything it cannot read fails with a
// RegistryFileError naming the file and the line.
RegistryKey ParseRegFile(std::string_view content, const std::string& fileName,
                         const RegFileOptions& options = {});

// The REGEDIT4 form of the HKEY_CURRENT_USER key: CR LF line ends, every key in tree order,
// texts that are not printable UTF-8 written as hex(1) so that every byte survives.
std::string SerializeRegFile(const RegistryKey& root);

} // namespace vorlane
