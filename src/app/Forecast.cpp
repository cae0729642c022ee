#include "app/Forecast.h"

#include "backup/BackupFolder.h"
#include "backup/BackupForecast.h"
#include "engine/Delete.h"
#include "engine/Halves.h"
#include "log/LogStamp.h"
#include "platform/PreviewPorts.h"
#include "profiles/CleaningItems.h"

#include <exception>

namespace quenk {

Forecast RunForecast(platform::Ports ports, const std::vector<std::string>& entries,
                     const OptionFlags& flags, engine::Progress& progress,
                     std::function<void()> pulse) {
  platform::PreviewFileSystem fs(ports.fs);
  fs.SetPulse(std::move(pulse));
  platform::PreviewRegistry registry(ports.registry);
  platform::PreviewIni ini(ports.ini, fs);
  const platform::Ports view{fs, registry, ini, ports.locale, ports.shell};
  CleaningRecord record;
  // The run saves each item before it deletes it, and keeps what it cannot save.
  backup::BackupForecast keeper(
      fs, registry,
      backup::BackupFolder(fs, LogStamp(ports.locale.Regional(), ports.locale.Now())));
  engine::Remover remover(view, record, progress, engine::FindHalves(fs, registry),
                          flags.backup ? &keeper : nullptr);
  profiles::ProfileContext ctx{fs, registry, remover};
  Forecast forecast;
  try {
    profiles::CleanEntries(ctx, entries, flags);
  } catch (const std::exception& error) {
    // Where the real run would stop with the error report, the forecast
    // stops too and tells why.
    forecast.stop = error.what();
  }
  forecast.deleted = record.Deleted().Lines();
  forecast.notDeleted = record.NotDeleted().Lines();
  for (std::size_t i = 0; i < forecast.notDeleted.size(); ++i)
    forecast.reasons.push_back(record.Reason(i));
  return forecast;
}

}  // namespace quenk
