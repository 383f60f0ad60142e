#pragma once

#include "mail/imap/ImapValue.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vorlane {

// One complete server response. Status responses (tagged, or untagged OK, NO, BAD, BYE, PREAUTH)
// carry a response code and a text; data responses (CAPABILITY, SEARCH, FETCH, EXISTS, ...) carry
// their values; a continuation request carries its text.
struct ImapResponse
{
    enum class Kind
    {
        Tagged,
        Untagged,
        Continuation,
    };

    Kind kind = Kind::Untagged;
    std::string tag; // for a tagged response
    // The number before the name: "* 23 EXISTS", "* 5 FETCH (...)".
    std::optional<std::uint32_t> number;
    // OK, NO, BAD, BYE, PREAUTH, CAPABILITY, SEARCH, FETCH, ..., in upper case; empty for a
    // continuation request.
    std::string name;
    // The response code in brackets, its name in upper case and the rest as it came:
    // [UIDVALIDITY 3857529045] gives "UIDVALIDITY" and "3857529045".
    std::string code;
    std::string codeArguments;
    std::string text;
    std::vector<ImapValue> values;
    // The response as it came, literals included, without its last line end.
    std::string raw;

    bool IsStatus() const
    {
        return name == "OK" || name == "NO" || name == "BAD" || name == "BYE" || name == "PREAUTH";
    }
};

} // namespace vorlane
