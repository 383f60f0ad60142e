#include "ui/HeaderLines.h"

#include "ui/HeaderDisplay.h"

namespace vorlane {

std::string CounterText(int position, int maximum)
{
    return "Message " + std::to_string(position + 1) + " of " + std::to_string(maximum + 1);
}

HeaderLines HeaderLinesAt(const MailMessageList* headers, int position)
{
    if (headers == nullptr || position < 0 || static_cast<std::size_t>(position) >= headers->size())
        return {"From: (Unknown)", "Subject: (Unknown)"};
    const TMailMessage& message = (*headers)[static_cast<std::size_t>(position)].second;
    return {"From: " + DisplayHeaderText(message.From),
            "Subject: " + DisplayHeaderText(message.Subject)};
}

} // namespace vorlane
