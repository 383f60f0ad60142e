// Registry files of arbitrary bytes. The first byte, modulo 3, chooses the form of the rest
// ('0', '1' and '2' in the seeds): a REGEDIT4 file as it is; text turned into a Unicode export
// (UTF-16LE after its byte-order mark); or raw UTF-16LE after the byte-order mark. Only a
// RegistryFileError naming the file and a line may leave the parser, and whatever parses must be
// written, read back to the same tree and written again to the same bytes.
#include "Require.h"
#include "config/RegFile.h"
#include "config/RegistryError.h"
#include "util/TextEncoding.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace {

// "fuzz.reg:<line>: <what>", the line counted from 1.
bool NamesFileAndLine(std::string_view text)
{
    constexpr std::string_view prefix = "fuzz.reg:";
    return text.starts_with(prefix) && text.size() > prefix.size() && text[prefix.size()] >= '1' &&
           text[prefix.size()] <= '9';
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace vorlane;
    using fuzz::Require;
    if (size == 0)
        return 0;
    const std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::string content;
    switch (data[0] % 3) {
    case 0:
        content = rest;
        break;
    case 1:
        content = "\xFF\xFE" + EncodeUtf16Le(DecodeUtf8(rest));
        break;
    default:
        content = "\xFF\xFE" + std::string(rest);
        break;
    }
    const RegFileOptions options{{"Password"}}; // the settings' scrambled password

    RegistryKey root;
    try {
        root = ParseRegFile(content, "fuzz.reg", options);
    } catch (const RegistryFileError& error) {
        Require(NamesFileAndLine(error.what()), "a parse error names the file and the line");
        return 0;
    }
    const auto written = SerializeRegFile(root);
    RegistryKey reread;
    try {
        reread = ParseRegFile(written, "registry.reg", options);
    } catch (const RegistryError& error) {
        std::fprintf(stderr, "%s\n", error.what());
        Require(false, "what was written parses");
    }
    Require(reread == root, "what was written reads back to the same tree");
    Require(SerializeRegFile(reread) == written, "writing it again gives the same bytes");
    return 0;
}
