#pragma once

#include "platform/CodePage.h"

#include <array>
#include <cstdint>
#include <string>

namespace quenk::platform {

// The user's regional date and time settings, as far as the log stamp needs them.
struct RegionalSettings {
  std::string shortDate = "M/d/yyyy";  // LOCALE_SSHORTDATE
  std::string dateSeparator = "/";     // LOCALE_SDATE
  std::string timeSeparator = ":";     // LOCALE_STIME
  bool hourLeadingZero = false;        // LOCALE_ITLZERO
  bool twelveHourClock = true;         // LOCALE_ITIME == 0
  bool designatorFirst = false;        // LOCALE_ITIMEMARKPOSN
  std::string am = "AM";
  std::string pm = "PM";
  std::array<std::string, 12> shortMonths{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::array<std::string, 12> longMonths{"January",   "February", "March",    "April",
                                         "May",       "June",     "July",     "August",
                                         "September", "October",  "November", "December"};
  std::array<std::string, 7> shortDays{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  std::array<std::string, 7> longDays{"Sunday",   "Monday", "Tuesday", "Wednesday",
                                      "Thursday", "Friday", "Saturday"};
};

struct LocalTime {
  int year = 2000;
  int month = 1;  // 1..12
  int day = 1;
  int dayOfWeek = 6;  // 0 = Sunday
  int hour = 0;
  int minute = 0;
  int second = 0;
};

class Locale {
 public:
  virtual ~Locale() = default;
  virtual RegionalSettings Regional() = 0;
  virtual LocalTime Now() = 0;
  // Lets the clock move on.
  virtual void Sleep(std::uint32_t milliseconds) = 0;
  // The computer's NetBIOS name, as the ANSI code page spells it.
  virtual std::string MachineName() = 0;
  // Text of the ANSI code page in UTF-8: each character as the code page
  // means it, a "?" the code page put for what it lacks stays one.
  virtual std::string AnsiToUtf8(const std::string& ansi) = 0;
  // How UTF-8 text read from files is brought into the ANSI code page.
  virtual CodePage AnsiCodePage() = 0;
};

}  // namespace quenk::platform
