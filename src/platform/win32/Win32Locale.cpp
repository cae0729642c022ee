#include "platform/win32/Win32Locale.h"

#include "platform/win32/Win32CodePage.h"

#include <windows.h>

#include <vector>

namespace quenk::win32 {
namespace {

std::string Info(LCTYPE type, const std::string& fallback) {
  const int n = ::GetLocaleInfoA(LOCALE_USER_DEFAULT, type, nullptr, 0);
  if (n <= 0) return fallback;
  std::vector<char> buffer(static_cast<std::size_t>(n));
  if (::GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buffer.data(), n) <= 0) return fallback;
  return std::string(buffer.data());
}

}  // namespace

platform::RegionalSettings Win32Locale::Regional() {
  platform::RegionalSettings r;
  r.shortDate = Info(LOCALE_SSHORTDATE, r.shortDate);
  r.dateSeparator = Info(LOCALE_SDATE, r.dateSeparator);
  r.timeSeparator = Info(LOCALE_STIME, r.timeSeparator);
  r.hourLeadingZero = Info(LOCALE_ITLZERO, "0") == "1";
  r.twelveHourClock = Info(LOCALE_ITIME, "0") == "0";
  r.designatorFirst = Info(LOCALE_ITIMEMARKPOSN, "0") == "1";
  r.am = Info(LOCALE_S1159, r.am);
  r.pm = Info(LOCALE_S2359, r.pm);
  for (int i = 0; i < 12; ++i) {
    r.shortMonths[i] = Info(LOCALE_SABBREVMONTHNAME1 + i, r.shortMonths[i]);
    r.longMonths[i] = Info(LOCALE_SMONTHNAME1 + i, r.longMonths[i]);
  }
  // The locale numbers days from Monday; the clock from Sunday.
  for (int i = 0; i < 7; ++i) {
    const int day = (i + 6) % 7;
    r.shortDays[i] = Info(LOCALE_SABBREVDAYNAME1 + day, r.shortDays[i]);
    r.longDays[i] = Info(LOCALE_SDAYNAME1 + day, r.longDays[i]);
  }
  return r;
}

platform::LocalTime Win32Locale::Now() {
  SYSTEMTIME t;
  ::GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDay, t.wDayOfWeek, t.wHour, t.wMinute, t.wSecond};
}

void Win32Locale::Sleep(std::uint32_t milliseconds) {
  ::Sleep(milliseconds);
}

std::string Win32Locale::MachineName() {
  char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = sizeof name;
  return ::GetComputerNameA(name, &size) ? std::string(name, size) : std::string();
}

std::string Win32Locale::AnsiToUtf8(const std::string& ansi) {
  if (ansi.empty()) return {};
  const int size = static_cast<int>(ansi.size());
  const int chars = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, nullptr, 0);
  if (chars <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(chars), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, wide.data(), chars);
  const int bytes =
      ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), chars, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(bytes), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), chars, utf8.data(), bytes, nullptr, nullptr);
  return utf8;
}

platform::CodePage Win32Locale::AnsiCodePage() {
  return win32::AnsiCodePage();
}

}  // namespace quenk::win32
