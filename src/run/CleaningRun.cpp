#include "run/CleaningRun.h"

#include "backup/BackupFolder.h"
#include "backup/BackupForecast.h"
#include "backup/RunBackup.h"
#include "engine/Delete.h"
#include "platform/PreviewDriverStore.h"
#include "platform/PreviewPorts.h"
#include "platform/PreviewServices.h"

#include <optional>

namespace quenk::run {

struct CleaningRun::View {
  explicit View(const platform::Ports& real)
      : fs(real.fs), registry(real.registry), ini(real.ini, fs), drivers(real.drivers) {
    if (real.services) services.emplace(*real.services);
  }
  platform::PreviewFileSystem fs;
  platform::PreviewRegistry registry;
  platform::PreviewIni ini;
  std::optional<platform::PreviewServices> services;
  platform::PreviewDriverStore drivers;
};

CleaningRun::CleaningRun(RunInputs inputs)
    : inputs_(std::move(inputs)),
      view_(inputs_.mode == Mode::kForecast ? std::make_unique<View>(inputs_.ports) : nullptr),
      ports_(view_ ? platform::Ports{view_->fs, view_->registry, view_->ini, inputs_.ports.locale,
                                     inputs_.ports.shell, inputs_.ports.locks,
                                     view_->services ? &*view_->services : nullptr, &view_->drivers}
                   : inputs_.ports),
      halves_(engine::FindHalves(ports_.fs, ports_.registry)) {}

CleaningRun::~CleaningRun() = default;

int CleaningRun::Steps() const {
  int total = 0;
  for (const auto& entry : inputs_.entries) {
    if (const auto* row = inputs_.catalog->ByName(entry)) {
      const ItemSwitches s = inputs_.flags.Of(*row);
      total += row->stepCount(s.files, s.registry, halves_);
    }
  }
  return total;
}

RunEnd CleaningRun::Perform(CleaningRecord& record, engine::Progress& progress,
                            std::function<void()> pulse) {
  const std::string folder = backup::BackupFolder(ports_.fs, inputs_.stamp);
  // The run saves each item before it deletes it, and keeps what it cannot
  // save; the forecast foresees which those are.
  std::optional<backup::BackupForecast> foreseen;
  std::optional<backup::RunBackup> kept;
  engine::Keeper* keeper = nullptr;
  if (view_) {
    view_->fs.SetPulse(std::move(pulse));
    keeper = &foreseen.emplace(ports_.fs, ports_.registry, folder);
  } else {
    keeper = &kept.emplace(ports_, folder);
  }
  engine::Remover remover(ports_, record, progress, halves_,
                          inputs_.flags.backup ? keeper : nullptr);
  RunEnd end;
  profiles::ProfileContext ctx{ports_.fs, ports_.registry, remover};
  ctx.messages = &end.skipped;
  try {
    for (const auto& entry : inputs_.entries) {
      if (const auto* row = inputs_.catalog->ByName(entry)) {
        const ItemSwitches s = inputs_.flags.Of(*row);
        row->clean(ctx, s.files, s.registry);
      }
    }
  } catch (const std::exception& error) {
    end.error = std::current_exception();
    end.stop = error.what();
  }
  if (!view_ && inputs_.flags.backup && ports_.fs.FolderExists(folder)) end.backupFolder = folder;
  end.restartNeeded = remover.RestartNeeded();
  return end;
}

}  // namespace quenk::run
