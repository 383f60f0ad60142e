#include "util/LoopbackHost.h"

#include "util/AsciiCase.h"
#include "util/NumericAddress.h"

namespace vorlane {

bool IsLoopbackHost(std::string_view host)
{
    if (host.size() > 1 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    if (!host.empty() && host.back() == '.')
        host.remove_suffix(1); // the fully qualified form
    const auto upper = AsciiUpper(host);
    if (upper == "LOCALHOST" || upper.ends_with(".LOCALHOST") || upper == "::1" ||
        upper == "0:0:0:0:0:0:0:1")
        return true;
    return IsNumericAddress(host) && host.starts_with("127.");
}

} // namespace vorlane
