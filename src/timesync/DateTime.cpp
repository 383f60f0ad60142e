#include "timesync/DateTime.h"

namespace vorlane {

namespace {

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar (H. Hinnant's
// days_from_civil), valid far beyond the years a 32-bit time count reaches.
std::int64_t DaysFromCivil(std::int64_t year, int month, int day)
{
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const std::int64_t yearOfEra = year - era * 400;
    const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

struct CivilDate
{
    std::int64_t year;
    int month;
    int day;
};

CivilDate CivilFromDays(std::int64_t days)
{
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t monthIndex = (5 * dayOfYear + 2) / 153;
    const int day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    const int month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    return {yearOfEra + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

std::int64_t FloorDivide(std::int64_t a, std::int64_t b)
{
    const std::int64_t quotient = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? quotient - 1 : quotient;
}

int DaysInMonth(std::int64_t year, int month)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

} // namespace

double DateTimeFromCivil(int year, int month, int day, int hour, int minute, int second,
                         int millisecond)
{
    const double days = static_cast<double>(DaysFromCivil(year, month, day)) + kUnixEpochDays;
    const double milliseconds = ((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + millisecond;
    return days + milliseconds / (kSecondsPerDay * 1000.0);
}

double DateTimeFromUnixSeconds(std::int64_t seconds)
{
    return static_cast<double>(seconds) / static_cast<double>(kSecondsPerDay) + kUnixEpochDays;
}

SystemTime SystemTimeFromUnixSeconds(std::int64_t seconds)
{
    const std::int64_t days = FloorDivide(seconds, kSecondsPerDay);
    const std::int64_t secondOfDay = seconds - days * kSecondsPerDay;
    const CivilDate date = CivilFromDays(days);
    SystemTime utc;
    utc.year = static_cast<std::uint16_t>(date.year);
    utc.month = static_cast<std::uint16_t>(date.month);
    const std::int64_t sinceSunday = days + 4; // 1970-01-01 was a Thursday
    utc.dayOfWeek = static_cast<std::uint16_t>(sinceSunday - FloorDivide(sinceSunday, 7) * 7);
    utc.day = static_cast<std::uint16_t>(date.day);
    utc.hour = static_cast<std::uint16_t>(secondOfDay / 3600);
    utc.minute = static_cast<std::uint16_t>(secondOfDay / 60 % 60);
    utc.second = static_cast<std::uint16_t>(secondOfDay % 60);
    utc.millisecond = 0;
    return utc;
}

std::optional<std::int64_t> UnixSecondsFromSystemTime(const SystemTime& utc)
{
    if (utc.month < 1 || utc.month > 12 || utc.day < 1 ||
        utc.day > DaysInMonth(utc.year, utc.month) || utc.hour > 23 || utc.minute > 59 ||
        utc.second > 59 || utc.millisecond > 999)
        return std::nullopt;
    return DaysFromCivil(utc.year, utc.month, utc.day) * kSecondsPerDay + utc.hour * 3600 +
           utc.minute * 60 + utc.second;
}

} // namespace vorlane
