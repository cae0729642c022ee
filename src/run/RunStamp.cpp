#include "run/RunStamp.h"

#include "backup/BackupFolder.h"
#include "run/LogFiles.h"
#include "run/LogStamp.h"

namespace quenk {
namespace {

bool Taken(platform::FileSystem& fs, const std::string& stamp) {
  const std::string logs = LogFolder(fs);
  for (const char* suffix : {".txt", " preview.txt", " restore.txt"})
    if (fs.Attributes(logs + stamp + suffix)) return true;
  return fs.Attributes(backup::BackupFolder(fs, stamp)).has_value();
}

int DaysIn(int year, int month) {
  if (month == 2) return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0 ? 29 : 28;
  return month == 4 || month == 6 || month == 9 || month == 11 ? 30 : 31;
}

}  // namespace

platform::LocalTime NextSecond(platform::LocalTime t) {
  if (++t.second < 60) return t;
  t.second = 0;
  if (++t.minute < 60) return t;
  t.minute = 0;
  if (++t.hour < 24) return t;
  t.hour = 0;
  t.dayOfWeek = (t.dayOfWeek + 1) % 7;
  if (++t.day <= DaysIn(t.year, t.month)) return t;
  t.day = 1;
  if (++t.month <= 12) return t;
  t.month = 1;
  ++t.year;
  return t;
}

std::string FreshStamp(platform::FileSystem& fs, platform::Locale& locale, StampWait wait) {
  const platform::RegionalSettings regional = locale.Regional();
  platform::LocalTime now = locale.Now();
  // Back to back within a second, the clock's next second is a moment away.
  for (int tries = 0;
       wait == StampWait::kForTheClock && tries < 15 && Taken(fs, LogStamp(regional, now));
       ++tries) {
    locale.Sleep(100);
    now = locale.Now();
  }
  // A clock that stands or went back (summer time ending) must not make a
  // run write into another's files: the seconds after it are counted on.
  while (Taken(fs, LogStamp(regional, now))) now = NextSecond(now);
  return LogStamp(regional, now);
}

}  // namespace quenk
