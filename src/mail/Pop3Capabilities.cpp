#include "mail/Pop3Capabilities.h"

#include "util/AsciiCase.h"

namespace vorlane {

void Pop3Capabilities::Read(std::string_view line)
{
    const auto name = line.substr(0, line.find(' '));
    if (EqualsIgnoringCase(name, "UIDL"))
        Uidl = true;
    else if (EqualsIgnoringCase(name, "PIPELINING"))
        Pipelining = true;
}

} // namespace vorlane
