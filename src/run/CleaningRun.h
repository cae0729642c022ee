#pragma once

#include "engine/CleaningRecord.h"
#include "engine/Halves.h"
#include "engine/Progress.h"
#include "platform/Ports.h"
#include "profiles/Catalog.h"
#include "run/OptionFlags.h"

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quenk::run {

// A clean deletes and keeps its backup; a forecast runs the same profiles
// through the same engine against a view of the machine in which nothing is
// deleted, with the backup's forecast in place of the backup.
enum class Mode { kClean, kForecast };

struct RunInputs {
  platform::Ports ports;
  std::vector<std::string> entries;  // cleaning items, in clean-list order
  OptionFlags flags;
  std::string stamp;  // names the backup folder, as it names the run's files
  Mode mode = Mode::kClean;
  // Where the entries' profiles are found.
  const profiles::Catalog* catalog = &profiles::BuiltinCatalog();
};

struct RunEnd {
  std::exception_ptr error;          // what stopped the run; null when it got through
  std::string stop;                  // that error's message
  std::string backupFolder;          // the backup the run made; empty when none
  std::vector<std::string> skipped;  // steps a profile left out, a line each
  bool restartNeeded = false;        // something goes only at the next restart
  bool Completed() const { return !error; }
};

// The one place where profiles, engine, keeper and record come together:
// the Clean button, the Preview window, the unattended runs and the tests
// all run a cleaning through this.
class CleaningRun {
 public:
  explicit CleaningRun(RunInputs inputs);
  ~CleaningRun();
  CleaningRun(const CleaningRun&) = delete;
  CleaningRun& operator=(const CleaningRun&) = delete;

  // The steps the run will take, for a progress bar set up before it starts.
  int Steps() const;

  // Appends what the run deleted (or would) and what stayed to `record`.
  // An error the profiles or the engine raise ends the run and is returned,
  // never thrown. `pulse` is called now and then while a forecast looks at
  // large folders.
  RunEnd Perform(CleaningRecord& record, engine::Progress& progress,
                 std::function<void()> pulse = {});

 private:
  struct View;

  RunInputs inputs_;
  std::unique_ptr<View> view_;  // a forecast's view of the machine
  platform::Ports ports_;       // the machine, or the view of it
  engine::Halves halves_;
};

}  // namespace quenk::run
