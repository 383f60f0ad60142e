#include "mail/ServerReply.h"

#include "util/AsciiCase.h"
#include "util/Log.h"

#include <array>
#include <utility>

namespace vorlane {

std::string ServerReplyText(std::string_view negativeReply)
{
    auto text = negativeReply;
    if (text.size() >= 4 && EqualsIgnoringCase(text.substr(0, 4), "-ERR"))
        text.remove_prefix(4);
    if (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    // Escaped after the cut, so that a cut never splits an escape; the CR LF the escaping keeps
    // cannot occur here, as a reply is one line.
    return EscapeLogText(text.substr(0, kMaxServerReplyLength));
}

std::string_view ResponseCodeAdvice(std::string_view replyText)
{
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 5> advice = {{
        {"[AUTH]", "The server refused the login itself: check the user name and the password. "
                   "Some providers want an application-specific password, or POP3 switched on "
                   "in the account's settings."},
        {"[SYS/TEMP]", "The server has a passing problem of its own: a later check will likely "
                       "succeed."},
        {"[SYS/PERM]", "The server has a lasting problem that waiting will not cure: ask your "
                       "provider."},
        {"[LOGIN-DELAY]", "The server allows a login only every so often: give this entry a "
                          "longer interval."},
        {"[IN-USE]", "Another program is reading this mailbox right now: the next check tries "
                     "again."},
    }};
    for (const auto& [code, line] : advice)
        if (replyText.size() >= code.size() &&
            EqualsIgnoringCase(replyText.substr(0, code.size()), code))
            return line;
    return {};
}

} // namespace vorlane
