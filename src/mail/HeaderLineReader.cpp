#include "mail/HeaderLineReader.h"

#include "util/AsciiCase.h"

namespace vorlane {

namespace {

bool BeginsWithName(std::string_view line, std::string_view name)
{
    return line.size() >= name.size() && EqualsIgnoringCase(line.substr(0, name.size()), name);
}

void SetValue(std::string& value, std::string_view text)
{
    value = text.substr(0, HeaderLineReader::kMaxValueLength);
}

} // namespace

void HeaderLineReader::Read(TMailMessage& record, std::string_view line)
{
    if (!line.empty() && (line.front() == ' ' || line.front() == '\t')) {
        if (continued_ != nullptr) {
            auto& value = record.*continued_;
            SetValue(value, (value + "\r\n").append(line));
        }
        return;
    }
    continued_ = nullptr;
    if (BeginsWithName(line, "FROM: ")) {
        SetValue(record.From, line.substr(6));
        continued_ = &TMailMessage::From;
    } else if (BeginsWithName(line, "SUBJECT: ")) {
        SetValue(record.Subject, line.substr(9));
        continued_ = &TMailMessage::Subject;
    }
}

TMailMessage HeaderLineReader::ReadBlock(std::string_view headers)
{
    TMailMessage record;
    HeaderLineReader reader;
    while (!headers.empty()) {
        const auto end = headers.find('\n');
        auto line = headers.substr(0, end);
        headers.remove_prefix(end == std::string_view::npos ? headers.size() : end + 1);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        if (line.empty())
            break; // the end of the header
        reader.Read(record, line);
    }
    return record;
}

} // namespace vorlane
