#include "config/RegFile.h"

#include "config/RegistryError.h"
#include "util/AsciiCase.h"
#include "util/TextEncoding.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace vorlane {

namespace {

constexpr std::string_view kRootName = "HKEY_CURRENT_USER";
constexpr std::string_view kRegedit4 = "REGEDIT4";
constexpr std::string_view kRegedit5 = "Windows Registry Editor Version 5.00";
constexpr std::string_view kUtf16Bom = "\xFF\xFE";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::size_t kHexLineWidth = 76;

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() &&
           EqualsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

class Parser
{
public:
    Parser(std::string_view text, bool unicode, const std::string& fileName,
           const RegFileOptions& options)
        : text_(text), unicode_(unicode), fileName_(fileName), options_(options)
    {}

    RegistryKey Parse()
    {
        SkipWhitespace();
        if (AtEnd())
            return std::move(root_);
        ParseHeader();
        while (true) {
            SkipWhitespace();
            if (AtEnd())
                return std::move(root_);
            const char c = Peek();
            if (c == ';')
                SkipLine();
            else if (c == '[')
                ParseSection();
            else if (c == '"' || c == '@')
                ParseValue();
            else
                Fail("unexpected text; expected a [key] line or a value");
        }
    }

private:
    [[noreturn]] void Fail(const std::string& message, int line = 0) const
    {
        throw RegistryFileError(fileName_ + ":" + std::to_string(line > 0 ? line : line_) + ": " +
                                message);
    }

    bool AtEnd() const { return pos_ >= text_.size(); }
    char Peek() const { return text_[pos_]; }
    std::string_view Rest() const { return text_.substr(pos_); }

    char Next()
    {
        const char c = text_[pos_++];
        if (c == '\n')
            ++line_;
        return c;
    }

    void SkipBlanks()
    {
        while (!AtEnd() && (Peek() == ' ' || Peek() == '\t'))
            Next();
    }

    void SkipWhitespace()
    {
        while (!AtEnd() && (Peek() == ' ' || Peek() == '\t' || Peek() == '\r' || Peek() == '\n'))
            Next();
    }

    // Consumes the rest of the line with its line break and returns it without the break.
    std::string_view TakeLine()
    {
        const auto start = pos_;
        while (!AtEnd() && Peek() != '\n')
            Next();
        auto line = text_.substr(start, pos_ - start);
        if (!AtEnd())
            Next();
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
            line.remove_suffix(1);
        return line;
    }

    void SkipLine() { TakeLine(); }

    // Blanks, then an optional comment, then the end of the line or of the file.
    void ExpectLineEnd()
    {
        const int line = line_;
        SkipBlanks();
        if (!AtEnd() && Peek() == ';')
            SkipLine();
        else if (!TakeLine().empty())
            Fail("unexpected text after the value", line);
    }

    void ParseHeader()
    {
        const int line = line_;
        const auto header = TakeLine();
        if (header != kRegedit4 && header != kRegedit5)
            Fail("not a registry file: the first line must be \"REGEDIT4\" or \"Windows Registry "
                 "Editor Version 5.00\"",
                 line);
    }

    // Names are UTF-8 inside; a REGEDIT4 file written on Windows holds them in Windows-1252.
    std::string ToUtf8(std::string text) const
    {
        if (unicode_ || IsValidUtf8(text))
            return text;
        return EncodeUtf8(DecodeWindows1252(text));
    }

    bool IsWindowsText(std::string_view valueName) const
    {
        return std::any_of(
            options_.windowsTextValues.begin(), options_.windowsTextValues.end(),
            [&](const std::string& name) { return EqualsIgnoringCase(name, valueName); });
    }

    void ParseSection()
    {
        const int line = line_;
        Next(); // [
        const auto content = TakeLine();
        if (content.empty() || content.back() != ']')
            Fail("a [key] line without its closing \"]\"", line);
        auto path = content.substr(0, content.size() - 1);
        const bool deletion = !path.empty() && path.front() == '-';
        if (deletion)
            path.remove_prefix(1);
        if (!StartsWithIgnoringCase(path, kRootName) ||
            (path.size() > kRootName.size() && path[kRootName.size()] != '\\'))
            Fail("only keys of HKEY_CURRENT_USER can be read", line);
        path.remove_prefix(std::min(path.size(), kRootName.size() + 1));
        const auto names = static_cast<std::size_t>(std::count(path.begin(), path.end(), '\\')) + 1;
        if (names > kMaxKeyDepth)
            Fail("a key path deeper than " + std::to_string(kMaxKeyDepth) + " levels", line);
        const auto keyPath = ToUtf8(std::string(path));
        if (deletion) {
            if (keyPath.empty())
                Fail("HKEY_CURRENT_USER itself cannot be deleted", line);
            root_.DeleteKey(keyPath);
            current_ = nullptr;
            return;
        }
        try {
            current_ = keyPath.empty() ? &root_ : &root_.CreateKey(keyPath);
        } catch (const RegistryError&) {
            Fail("invalid key name \"" + keyPath + "\"", line);
        }
    }

    // After the opening quote: the text up to the closing one, with \\ and \" unescaped. Other
    // backslashes stand for themselves, as hand-written paths often have them.
    std::string ParseQuoted()
    {
        const int line = line_;
        std::string text;
        while (true) {
            if (AtEnd())
                Fail("a text without its closing quote", line);
            const char c = Next();
            if (c == '"')
                return text;
            if (c == '\\' && !AtEnd() && (Peek() == '\\' || Peek() == '"'))
                text.push_back(Next());
            else
                text.push_back(c);
        }
    }

    std::uint32_t ParseHexNumber(std::size_t maxDigits, const char* what)
    {
        std::uint32_t number = 0;
        std::size_t digits = 0;
        while (!AtEnd() && HexDigit(Peek()) >= 0 && digits < maxDigits) {
            number = (number << 4) | static_cast<std::uint32_t>(HexDigit(Next()));
            ++digits;
        }
        if (digits == 0 || (!AtEnd() && HexDigit(Peek()) >= 0))
            Fail(std::string("expected ") + what);
        return number;
    }

    // Bytes as two-digit hexadecimal numbers separated by commas, continued on the next line
    // after a "\"; consumes the end of the line.
    std::string ParseHexBytes()
    {
        std::string bytes;
        while (true) {
            SkipBlanks();
            if (AtEnd())
                return bytes;
            const char c = Peek();
            if (c == ',') {
                Next();
            } else if (c == '\\') {
                Next();
                SkipBlanks();
                if (!AtEnd() && Peek() == '\r')
                    Next();
                if (!AtEnd() && Peek() != '\n')
                    Fail("a \"\\\" that does not end its line");
                if (!AtEnd())
                    Next();
            } else if (c == '\r' || c == '\n' || c == ';') {
                ExpectLineEnd();
                return bytes;
            } else {
                bytes.push_back(static_cast<char>(ParseHexNumber(2, "a hexadecimal byte")));
            }
        }
    }

    // Text data of a Unicode export is UTF-16LE; inside it becomes UTF-8, or the Windows code
    // page for the values that hold bytes. The terminating zero of a string is dropped.
    std::string ConvertUnicodeData(std::uint32_t type, std::string bytes, std::string_view name,
                                   int line)
    {
        if (!unicode_ || (type != REG_SZ && type != REG_EXPAND_SZ && type != 7 /* REG_MULTI_SZ */))
            return bytes;
        if (bytes.size() % 2 != 0)
            Fail("a Unicode text of odd length", line);
        const auto text = DecodeUtf16Le(bytes);
        auto converted = IsWindowsText(name) ? EncodeWindows1252(text) : EncodeUtf8(text);
        if (type != 7 && !converted.empty() && converted.back() == '\0')
            converted.pop_back();
        return converted;
    }

    std::string ConvertQuotedText(std::string text, std::string_view name) const
    {
        if (!IsWindowsText(name))
            return ToUtf8(std::move(text));
        return unicode_ ? EncodeWindows1252(DecodeUtf8(text)) : text;
    }

    void ParseValue()
    {
        const int line = line_;
        std::string name;
        if (Next() == '"')
            name = ToUtf8(ParseQuoted());
        SkipBlanks();
        if (AtEnd() || Peek() != '=')
            Fail("expected \"=\" after the value name", line);
        Next();
        SkipBlanks();
        if (current_ == nullptr)
            Fail("a value outside of a [key] section", line);

        RegistryValue value;
        if (!AtEnd() && Peek() == '"') {
            Next();
            value = {REG_SZ, ConvertQuotedText(ParseQuoted(), name)};
            ExpectLineEnd();
        } else if (!AtEnd() && Peek() == '-') {
            Next();
            ExpectLineEnd();
            current_->DeleteValue(name);
            return;
        } else if (StartsWithIgnoringCase(Rest(), "dword:")) {
            pos_ += 6;
            value = IntegerValue(
                static_cast<std::int32_t>(ParseHexNumber(8, "up to eight hexadecimal digits")));
            ExpectLineEnd();
        } else if (StartsWithIgnoringCase(Rest(), "hex")) {
            pos_ += 3;
            value.type = REG_BINARY;
            if (!AtEnd() && Peek() == '(') {
                Next();
                value.type = ParseHexNumber(8, "a hexadecimal type number");
                if (AtEnd() || Next() != ')')
                    Fail("expected \")\" after the type number");
            }
            if (AtEnd() || Next() != ':')
                Fail("expected \":\" after hex");
            value.data = ConvertUnicodeData(value.type, ParseHexBytes(), name, line);
        } else {
            Fail("unknown kind of value data", line);
        }
        value.line = line;
        try {
            current_->SetValue(name, std::move(value));
        } catch (const RegistryError&) {
            Fail("invalid value name \"" + name + "\"", line);
        }
    }

    std::string_view text_;
    bool unicode_;
    const std::string& fileName_;
    const RegFileOptions& options_;
    std::size_t pos_ = 0;
    int line_ = 1;
    RegistryKey root_{std::string(kRootName)};
    // The key of the [key] section being read; keys stay in place while others are created.
    RegistryKey* current_ = nullptr;
};

std::string Escape(std::string_view text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        if (c == '\\' || c == '"')
            escaped.push_back('\\');
        escaped.push_back(c);
    }
    return escaped;
}

bool IsPlainText(std::string_view text)
{
    return IsValidUtf8(text) && std::none_of(text.begin(), text.end(), [](char c) {
               return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
           });
}

void AppendHex(std::string& out, std::string line, std::string_view bytes)
{
    constexpr std::string_view kDigits = "0123456789abcdef";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        line += kDigits[byte >> 4];
        line += kDigits[byte & 0x0F];
        if (i + 1 < bytes.size()) {
            line += ',';
            if (line.size() >= kHexLineWidth) {
                out += line;
                out += "\\\r\n";
                line = "  ";
            }
        }
    }
    out += line;
    out += "\r\n";
}

void AppendValue(std::string& out, const std::string& name, const RegistryValue& value)
{
    std::string line = name.empty() ? "@=" : "\"" + Escape(name) + "\"=";
    if (value.type == REG_SZ && IsPlainText(value.data)) {
        out += line + "\"" + Escape(value.data) + "\"\r\n";
    } else if (value.type == REG_DWORD && value.data.size() == 4) {
        char number[16];
        std::snprintf(number, sizeof number, "dword:%08x",
                      static_cast<unsigned>(ReadInteger(value, name)));
        out += line + number + "\r\n";
    } else {
        char prefix[24] = "hex:";
        if (value.type != REG_BINARY)
            std::snprintf(prefix, sizeof prefix, "hex(%x):", static_cast<unsigned>(value.type));
        AppendHex(out, line + prefix, value.data);
    }
}

void AppendSection(std::string& out, const std::string& path, const RegistryKey& key)
{
    out += "\r\n[" + path + "]\r\n";
    for (const auto& [name, value] : key.Values())
        AppendValue(out, name, value);
}

// Every key below the root in tree order, each after its parent. A stack of the open levels
// instead of recursion, and one path that grows and shrinks, keep this linear in the output.
void AppendSubkeys(std::string& out, const RegistryKey& root)
{
    struct Level
    {
        RegistryKey::SubkeyRange::Iterator next;
        RegistryKey::SubkeyRange::Iterator end;
        std::size_t pathLength;
    };
    std::string path(kRootName);
    std::vector<Level> open{{root.Subkeys().begin(), root.Subkeys().end(), path.size()}};
    while (!open.empty()) {
        auto& level = open.back();
        if (level.next == level.end) {
            open.pop_back();
            continue;
        }
        const RegistryKey& key = *level.next++;
        path.resize(level.pathLength);
        path += '\\';
        path += key.Name();
        AppendSection(out, path, key);
        open.push_back({key.Subkeys().begin(), key.Subkeys().end(), path.size()});
    }
}

} // namespace

RegistryKey ParseRegFile(std::string_view content, const std::string& fileName,
                         const RegFileOptions& options)
{
    if (content.starts_with(kUtf16Bom)) {
        const auto text = EncodeUtf8(DecodeUtf16Le(content.substr(kUtf16Bom.size())));
        return Parser(text, true, fileName, options).Parse();
    }
    if (content.starts_with(kUtf8Bom))
        content.remove_prefix(kUtf8Bom.size());
    return Parser(content, false, fileName, options).Parse();
}

std::string SerializeRegFile(const RegistryKey& root)
{
    std::string out(kRegedit4);
    out += "\r\n";
    if (!root.Values().empty())
        AppendSection(out, std::string(kRootName), root);
    AppendSubkeys(out, root);
    out += "\r\n";
    return out;
}

} // namespace vorlane
