#include "util/NumericAddress.h"

namespace vorlane {

bool IsNumericAddress(std::string_view host)
{
    int stops = 0;
    for (const char c : host) {
        if (c == '.')
            ++stops;
        else if (c < '0' || c > '9')
            return false;
    }
    return stops == 3;
}

} // namespace vorlane
