#include "app/RunStamp.h"

#include "backup/BackupFolder.h"
#include "log/LogFiles.h"
#include "log/LogStamp.h"

namespace quenk {
namespace {

bool Taken(platform::FileSystem& fs, const std::string& stamp) {
  const std::string logs = LogFolder(fs);
  for (const char* suffix : {".txt", " preview.txt", " restore.txt"})
    if (fs.Attributes(logs + stamp + suffix)) return true;
  return fs.Attributes(backup::BackupFolder(fs, stamp)).has_value();
}

}  // namespace

std::string FreshStamp(platform::FileSystem& fs, platform::Locale& locale) {
  std::string stamp = LogStamp(locale.Regional(), locale.Now());
  // A clock that does not move on holds a run up for three seconds at most.
  for (int tries = 0; tries < 30 && Taken(fs, stamp); ++tries) {
    locale.Sleep(100);
    stamp = LogStamp(locale.Regional(), locale.Now());
  }
  return stamp;
}

}  // namespace quenk
