#pragma once

#include "engine/CleaningRecord.h"

#include <cstddef>
#include <string>

namespace quenk {

// What one Clean did, as the main window tells it when the run ends.
struct RunResult {
  std::size_t deleted = 0;
  std::size_t notDeleted = 0;
  std::size_t unsaved = 0;  // lines that stayed because the backup had no copy of them
  bool backupOn = false;
  bool backupMade = false;      // the run's backup folder is there
  bool stopped = false;         // an error ended the run part way
  bool restartNeeded = false;   // the system finishes the run at its next start
  std::size_t needsRights = 0;  // lines that stayed for want of administrator rights
};

// Said once after a run that left lines for want of administrator rights;
// empty when it left none.
std::string RightsText(const RunResult& result);

// The lines a run appended to `record`, which held `deletedBefore` and
// `notDeletedBefore` lines when it began.
RunResult ResultOf(const CleaningRecord& record, std::size_t deletedBefore,
                   std::size_t notDeletedBefore);

// "Deleted 14, not deleted 2. Backup made. See the Log window." Short: the line
// below the progress bar shows it whole at 96 dpi.
std::string RunResultText(const RunResult& result);

}  // namespace quenk
