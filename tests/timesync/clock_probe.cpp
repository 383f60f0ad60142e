// Calls the real clock setter, but only in a process that cannot change the clock: it first
// makes sure that CAP_SYS_TIME is neither in its bounding set nor permitted nor effective, and
// exits without calling the setter otherwise. Even then it passes the current time, so a
// mistake could not move the clock by more than a millisecond. With --check-only it reports the
// capability check alone.
#include "timesync/ClockProbe.h"
#include "timesync/ClockSetter.h"
#include "timesync/DateTime.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

using namespace vorlane::test::clock_probe;

enum class Capability
{
    Absent,
    Present,
    Unknown,
};

Capability SysTimeCapability()
{
    const int bounding =
        ::prctl(PR_CAPBSET_READ, static_cast<unsigned long>(CAP_SYS_TIME), 0UL, 0UL, 0UL);
    if (bounding < 0)
        return Capability::Unknown;
    __user_cap_header_struct header{};
    header.version = _LINUX_CAPABILITY_VERSION_3;
    header.pid = 0;
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
    if (::syscall(SYS_capget, &header, data) != 0)
        return Capability::Unknown;
    const auto& set = data[CAP_TO_INDEX(CAP_SYS_TIME)];
    const bool held = (set.effective | set.permitted) & CAP_TO_MASK(CAP_SYS_TIME);
    return bounding == 0 && !held ? Capability::Absent : Capability::Present;
}

} // namespace

int main(int argc, char** argv)
{
    switch (SysTimeCapability()) {
    case Capability::Present:
        return kCapabilityPresent;
    case Capability::Unknown:
        return kCapabilityUnknown;
    case Capability::Absent:
        break;
    }
    if (argc > 1 && std::strcmp(argv[1], "--check-only") == 0)
        return kCapabilityAbsent;

    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    vorlane::SystemTime utc = vorlane::SystemTimeFromUnixSeconds(now.tv_sec);
    utc.millisecond = static_cast<std::uint16_t>(now.tv_nsec / 1000000);
    errno = 0;
    if (vorlane::SystemClockSetter().SetSystemTime(utc))
        return kAccepted;
    return errno == EPERM ? kRefused : kFailedOtherwise;
}
