#include "app/Forecast.h"

#include "engine/Delete.h"
#include "engine/Halves.h"
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
  engine::Remover remover(view, record, progress, engine::FindHalves(fs, registry));
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
  return forecast;
}

}  // namespace quenk
