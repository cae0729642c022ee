#include "run/LogStamp.h"

#include <string_view>

namespace quenk {
namespace {

std::string Padded(int value, int width) {
  std::string digits = std::to_string(value);
  if (static_cast<int>(digits.size()) < width) digits.insert(0, width - digits.size(), '0');
  return digits;
}

}  // namespace

std::string FormatShortDate(const platform::RegionalSettings& regional,
                            const platform::LocalTime& t) {
  const std::string& format = regional.shortDate;
  std::string out;
  for (std::size_t i = 0; i < format.size();) {
    const char c = format[i];
    std::size_t run = 1;
    while (i + run < format.size() && format[i + run] == c) ++run;
    switch (c) {
      case 'd':
        if (run == 1)
          out += std::to_string(t.day);
        else if (run == 2)
          out += Padded(t.day, 2);
        else if (run == 3)
          out += regional.shortDays[static_cast<std::size_t>(t.dayOfWeek) % 7];
        else
          out += regional.longDays[static_cast<std::size_t>(t.dayOfWeek) % 7];
        break;
      case 'M':
        if (run == 1)
          out += std::to_string(t.month);
        else if (run == 2)
          out += Padded(t.month, 2);
        else if (run == 3)
          out += regional.shortMonths[static_cast<std::size_t>(t.month - 1) % 12];
        else
          out += regional.longMonths[static_cast<std::size_t>(t.month - 1) % 12];
        break;
      case 'y':
        if (run == 1)
          out += std::to_string(t.year % 100);
        else if (run == 2)
          out += Padded(t.year % 100, 2);
        else
          out += Padded(t.year, 4);
        break;
      case 'g':
        break;  // era names are not written
      case '/':
        for (std::size_t k = 0; k < run; ++k) out += regional.dateSeparator;
        break;
      case '\'': {
        // Quoted literal text; '' inside stands for one quote.
        std::size_t j = i + 1;
        while (j < format.size()) {
          if (format[j] == '\'') {
            if (j + 1 < format.size() && format[j + 1] == '\'') {
              out += '\'';
              j += 2;
              continue;
            }
            break;
          }
          out += format[j++];
        }
        run = j + 1 - i;
        break;
      }
      default:
        out.append(run, c);
        break;
    }
    i += run;
  }
  return out;
}

std::string FormatStampTime(const platform::RegionalSettings& regional,
                            const platform::LocalTime& t) {
  int hour = t.hour;
  if (regional.twelveHourClock) {
    hour %= 12;
    if (hour == 0) hour = 12;
  }
  const std::string& sep = regional.timeSeparator;
  std::string time = (regional.hourLeadingZero ? Padded(hour, 2) : std::to_string(hour)) + sep +
                     Padded(t.minute, 2) + sep + Padded(t.second, 2);
  if (!regional.twelveHourClock) return time;
  const std::string& designator = t.hour < 12 ? regional.am : regional.pm;
  return regional.designatorFirst ? designator + " " + time : time + " " + designator;
}

std::string LogStamp(const platform::RegionalSettings& regional, const platform::LocalTime& t) {
  std::string stamp = FormatShortDate(regional, t) + "-" + FormatStampTime(regional, t);
  for (char& c : stamp) {
    if (std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos ||
        static_cast<unsigned char>(c) < 0x20)
      c = '-';
  }
  return stamp;
}

}  // namespace quenk
