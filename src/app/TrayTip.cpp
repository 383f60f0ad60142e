#include "app/TrayTip.h"

namespace vorlane {

std::string LimitTrayTip(std::string_view tip)
{
    if (tip.size() <= kMaxTrayTipLength)
        return std::string(tip);
    std::size_t keep = kMaxTrayTipLength - 3;
    while (keep > 0 && (static_cast<unsigned char>(tip[keep]) & 0xC0) == 0x80)
        --keep; // not inside a UTF-8 sequence
    return std::string(tip.substr(0, keep)) + "...";
}

} // namespace vorlane
