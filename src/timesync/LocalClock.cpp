#include "timesync/LocalClock.h"

#include "timesync/DateTime.h"

#include <clocale>
#include <locale.h>
#include <time.h>
#include <vector>

namespace vorlane {

double LocalDateTimeNow()
{
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return LocalDateTimeAt(now);
}

double LocalDateTimeAt(const timespec& instant)
{
    std::tm local{};
    ::localtime_r(&instant.tv_sec, &local);
    return DateTimeFromCivil(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                             local.tm_min, local.tm_sec,
                             static_cast<int>(instant.tv_nsec / 1000000));
}

std::string FormatLocalDateTime(const std::tm& local, const char* localeName)
{
    locale_t locale = ::newlocale(LC_TIME_MASK, localeName, locale_t{});
    if (locale == locale_t{})
        locale = ::newlocale(LC_TIME_MASK, "C", locale_t{});
    std::vector<char> text(64);
    std::size_t length = 0;
    // "%x %X" is never empty, so 0 means only that the buffer was too small.
    while ((length = ::strftime_l(text.data(), text.size(), "%x %X", &local, locale)) == 0 &&
           text.size() < 4096)
        text.resize(text.size() * 2);
    ::freelocale(locale);
    return std::string(text.data(), length);
}

} // namespace vorlane
