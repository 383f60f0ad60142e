#pragma once

#include "mail/MailServer.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorlane {

// The decisions of the settings dialog and the mail server entry dialog, kept apart from the
// widgets so they can be tested alone.

// Number fields (an entry's interval, the connection time-out) repair what was typed when the
// focus leaves them: a whole number above 0 is accepted, anything else gives back the last
// accepted number. The number above 0 that the text is, if it is one.
std::optional<std::int32_t> ParseNumberAboveZero(std::string_view text);

// Entering an entry's interval field: a whole number is remembered as it is; anything else is
// replaced by the default interval 10.
inline constexpr std::int32_t kDefaultInterval = 10;
std::int32_t AcceptedIntervalOnEntering(std::string_view text);

// The entry dialog's OK: enabled when the name, the user name and the POP3 server hold any text,
// blanks included.
bool EntryComplete(std::string_view serverName, std::string_view userName,
                   std::string_view pop3Server);

// The choices of the auto-hide time, in seconds, in the order the list offers them.
inline constexpr std::array<int, 14> kAutoHideTimes = {1, 2, 3,  4,  5,  6,  7,
                                                       8, 9, 10, 15, 20, 25, 30};
// The list position showing the stored number, or the one showing 3 when no item shows it.
int AutoHideTimeIndex(std::int32_t stored);

// The twelve time servers the dialog offers: public servers of the Time protocol (TCP port 37).
extern const std::array<const char*, 12> kDefaultTimeServers;

// Synchronizing needs a time server.
bool TimeServerRuleBroken(bool synchronize, std::string_view timeServer);

// A name without the blanks (and other control characters) at either end.
std::string TrimBlanks(std::string_view text);

// Why a new entry's (trimmed) name cannot be taken, if it cannot.
enum class EntryNameProblem
{
    None,
    Empty,     // nothing but blanks was typed
    Invalid,   // holds "\" (which would name a key below another) or a line break
    Duplicate, // another entry has it, letter case aside
};
EntryNameProblem CheckNewEntryName(std::string_view trimmedName,
                                   const std::vector<std::string>& existingNames);

// The texts the settings dialog shows for those problems.
extern const char* const kDuplicateEntryText;
extern const char* const kEmptyEntryNameText;
extern const char* const kInvalidEntryNameText;
extern const char* const kNoTimeServerText;

// How the list shows a stored interval: absent as "10", below 1 as "1".
std::string IntervalShown(std::optional<std::int32_t> stored);

// Which rows of the dial-up list a stored RasConnection ticks: each "|"-separated field names a
// row, letter case aside; a text without any "|" names nothing.
std::vector<bool> RasConnectionTicks(std::string_view rasConnection,
                                     const std::vector<std::string>& rows);

// The stored form of the ticked rows: "|" before each name, in the list's order.
std::string SelectedRasConnections(const std::vector<std::string>& rows,
                                   const std::vector<bool>& ticked);

// An entry's security and port as the dialogs show and store them (0 none, 1 STLS, 2 implicit
// TLS). Absent means none; a stored value the program does not know is taken for STLS, which
// upgrades or fails but never sends a password in plain text.
int SecurityShown(std::optional<std::int32_t> stored);
// The short name of a security setting in the settings dialog's list.
const char* SecurityColumnText(int security);
// A port number: a whole number from 1 to 65535. Leaving the port field accepts one; anything
// else gives back the last accepted.
std::optional<int> ParsePort(std::string_view text);
// The port an entry really uses: a stored port outside 1..65535, or 0, means the usual port of
// its security and protocol.
int PortShown(int security, std::int32_t storedPort, MailProtocol protocol = MailProtocol::Pop3);
// The port as a row keeps it: 0 when it is the usual one of the security, so an entry that
// changes its security follows the new usual port and plain entries store no port at all.
int PortStored(int security, int port, MailProtocol protocol = MailProtocol::Pop3);
// Choosing another security or protocol fills in its usual port, unless the port field holds
// one the user chose: it follows when it is empty or still holds the usual port of the security
// and protocol before.
bool PortFollowsSecurity(std::string_view portText, int previousSecurity,
                         MailProtocol previousProtocol = MailProtocol::Pop3);

// A file dialog's name filters from a text of description and pattern pairs separated by "|":
// "Wave files|*.wav|All Files|*.*" gives "Wave files (*.wav)" and "All Files (*)" ("*.*" means
// every file, also one without an extension).
std::vector<std::string> NameFilters(std::string_view pairs);

} // namespace vorlane
