#include "ui/SettingsRules.h"

#include "config/RegistryKey.h"
#include "mail/MailServer.h"
#include "util/AsciiCase.h"
#include "util/Fields.h"
#include "util/WholeNumber.h"

#include <algorithm>

namespace vorlane {

const std::array<const char*, 12> kDefaultTimeServers = {
    "time.nist.gov",       "time-a-g.nist.gov",   "time-b-g.nist.gov",   "time-c-g.nist.gov",
    "time-d-g.nist.gov",   "time-a-wwv.nist.gov", "time-b-wwv.nist.gov", "time-c-wwv.nist.gov",
    "time-d-wwv.nist.gov", "time-a-b.nist.gov",   "time-b-b.nist.gov",   "time-c-b.nist.gov",
};

const char* const kDuplicateEntryText =
    "An mailserver entry with this name already exists. Please click 'OK' to enter a different "
    "name, or click 'Cancel' to cancel the new entry.";
const char* const kEmptyEntryNameText =
    "A mailserver entry needs a name that is not only blanks. Please enter a name.";
const char* const kInvalidEntryNameText =
    "The name of a mailserver entry can not contain a backslash (\\). Please enter a different "
    "name.";
const char* const kNoTimeServerText = "The time synchronization function can not function if no "
                                      "timeserver is entered. Please choose a timeserver.";

std::optional<std::int32_t> ParseNumberAboveZero(std::string_view text)
{
    const auto number = ParseWholeNumber(text);
    if (!number || *number <= 0)
        return std::nullopt;
    return number;
}

std::int32_t AcceptedIntervalOnEntering(std::string_view text)
{
    return ParseWholeNumber(text).value_or(kDefaultInterval);
}

bool EntryComplete(std::string_view serverName, std::string_view userName,
                   std::string_view pop3Server)
{
    return !serverName.empty() && !userName.empty() && !pop3Server.empty();
}

int AutoHideTimeIndex(std::int32_t stored)
{
    const auto found = std::find(kAutoHideTimes.begin(), kAutoHideTimes.end(), stored);
    const auto chosen = found != kAutoHideTimes.end()
                            ? found
                            : std::find(kAutoHideTimes.begin(), kAutoHideTimes.end(), 3);
    return static_cast<int>(chosen - kAutoHideTimes.begin());
}

bool TimeServerRuleBroken(bool synchronize, std::string_view timeServer)
{
    return synchronize && timeServer.empty();
}

std::string TrimBlanks(std::string_view text)
{
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return std::string(text);
}

EntryNameProblem CheckNewEntryName(std::string_view trimmedName,
                                   const std::vector<std::string>& existingNames)
{
    if (trimmedName.empty())
        return EntryNameProblem::Empty;
    if (!IsValidKeyName(trimmedName))
        return EntryNameProblem::Invalid;
    for (const auto& name : existingNames)
        if (EqualsIgnoringCase(name, trimmedName))
            return EntryNameProblem::Duplicate;
    return EntryNameProblem::None;
}

std::string IntervalShown(std::optional<std::int32_t> stored)
{
    if (!stored)
        return std::to_string(kDefaultInterval);
    return std::to_string(std::max<std::int32_t>(*stored, 1));
}

int SecurityShown(std::optional<std::int32_t> stored)
{
    if (!stored || *stored == kSecurityNone)
        return kSecurityNone;
    return *stored == kSecurityImplicitTls ? kSecurityImplicitTls : kSecuritySTLS;
}

const char* SecurityColumnText(int security)
{
    switch (security) {
    case kSecurityNone:
        return "None";
    case kSecurityImplicitTls:
        return "TLS";
    default:
        return "STLS";
    }
}

std::optional<int> ParsePort(std::string_view text)
{
    const auto number = ParseWholeNumber(text);
    if (!number || *number < 1 || *number > 65535)
        return std::nullopt;
    return *number;
}

int PortShown(int security, std::int32_t storedPort, MailProtocol protocol)
{
    return storedPort >= 1 && storedPort <= 65535 ? storedPort
                                                  : DefaultMailPort(security, protocol);
}

int PortStored(int security, int port, MailProtocol protocol)
{
    return PortShown(security, port, protocol) == DefaultMailPort(security, protocol) ? 0 : port;
}

bool PortFollowsSecurity(std::string_view portText, int previousSecurity,
                         MailProtocol previousProtocol)
{
    if (TrimBlanks(portText).empty())
        return true;
    return ParseWholeNumber(portText) == DefaultMailPort(previousSecurity, previousProtocol);
}

std::vector<bool> RasConnectionTicks(std::string_view rasConnection,
                                     const std::vector<std::string>& rows)
{
    std::vector<bool> ticked(rows.size(), false);
    const int fields = CountFields(rasConnection, '|');
    for (int k = 1; k <= fields; ++k) {
        const std::string field = ExtractField(rasConnection, k, '|');
        for (std::size_t row = 0; row < rows.size(); ++row)
            if (EqualsIgnoringCase(rows[row], field))
                ticked[row] = true;
    }
    return ticked;
}

std::string SelectedRasConnections(const std::vector<std::string>& rows,
                                   const std::vector<bool>& ticked)
{
    std::string text;
    for (std::size_t row = 0; row < rows.size() && row < ticked.size(); ++row)
        if (ticked[row])
            text += "|" + rows[row];
    return text;
}

std::vector<std::string> NameFilters(std::string_view pairs)
{
    std::vector<std::string> filters;
    const int fields = CountFields(pairs, '|');
    for (int k = 1; k + 1 <= fields; k += 2) {
        std::string pattern = ExtractField(pairs, k + 1, '|');
        if (pattern == "*.*")
            pattern = "*";
        filters.push_back(ExtractField(pairs, k, '|') + " (" + pattern + ")");
    }
    return filters;
}

} // namespace vorlane
