#pragma once

#include <ctime>
#include <string>

namespace vorlane {

// The local date and time on the program's date-time scale (days since 1899-12-30 00:00 local
// time, fraction = time of day, to the millisecond), read from the system clock.
double LocalDateTimeNow();
// The same for a given instant of the system clock.
double LocalDateTimeAt(const timespec& instant);

// Local calendar fields as the named locale writes its date and its time ("%x %X"); the empty
// name takes the user's locale from the environment (LC_ALL, LC_TIME, LANG). The locale is
// opened for this call alone, so no other thread sees a change; a locale that cannot be opened
// gives the C locale's form.
std::string FormatLocalDateTime(const std::tm& local, const char* localeName = "");

} // namespace vorlane
