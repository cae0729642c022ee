#include "app/RunResult.h"

#include "base/Text.h"
#include "engine/Delete.h"

#include <algorithm>

namespace quenk {

RunResult ResultOf(const CleaningRecord& record, std::size_t deletedBefore,
                   std::size_t notDeletedBefore) {
  RunResult result;
  result.deleted = record.Deleted().Size() - std::min(deletedBefore, record.Deleted().Size());
  const std::size_t total = record.NotDeleted().Size();
  for (std::size_t i = std::min(notDeletedBefore, total); i < total; ++i) {
    ++result.notDeleted;
    if (StartsWithNoCase(record.Reason(i), "no copy in the backup")) ++result.unsaved;
    if (record.Reason(i) == engine::kNeedsAdministrator) ++result.needsRights;
  }
  return result;
}

std::string RunResultText(const RunResult& r) {
  std::string text = std::string(r.stopped ? "Stopped. " : "") + "Deleted " +
                     std::to_string(r.deleted) + ", not deleted " + std::to_string(r.notDeleted) +
                     ". ";
  if (r.unsaved > 0)
    text += "Backup failed for " + std::to_string(r.unsaved) + ". ";
  else if (!r.backupOn)
    text += "Backup off in Options. ";
  else if (r.backupMade)
    text += "Backup made. ";
  else
    text += "Nothing to back up. ";
  return text + (r.restartNeeded ? "Restart to finish." : "See the Log window.");
}

std::string RightsText(const RunResult& r) {
  if (r.needsRights == 0) return {};
  return "Quenk runs without administrator rights: " + std::to_string(r.needsRights) +
         (r.needsRights == 1 ? " entry" : " entries") +
         " that need them stayed. Start it with Run as administrator to remove them";
}

}  // namespace quenk
