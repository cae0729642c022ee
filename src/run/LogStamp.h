#pragma once

#include "platform/Locale.h"

#include <string>

namespace quenk {

// The date as the regional short date format writes it.
std::string FormatShortDate(const platform::RegionalSettings& regional,
                            const platform::LocalTime& t);
// Hour (12- or 24-hour clock, leading zero as set), minutes and seconds with
// the regional separator, and the AM/PM designator where the clock needs one.
std::string FormatStampTime(const platform::RegionalSettings& regional,
                            const platform::LocalTime& t);
// Date + "-" + time, made fit to be a file name: every character a Windows
// file name cannot hold becomes "-", so that every regional setting works.
std::string LogStamp(const platform::RegionalSettings& regional, const platform::LocalTime& t);

}  // namespace quenk
