#pragma once

#include "app/JsonReport.h"
#include "app/Unattended.h"
#include "platform/Ports.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace quenk {

// What a line of a run's lists is. The record keeps no kind beside its
// lines, so it is told from the line and from what the run left behind:
//   a key: "service" directly below System\CurrentControlSet\Services (or a
//   ControlSetNNN), "value" for a restore's "key [name]" line, else "key";
//   a path: the kind the run's backup saved it as, else what is there now
//   (a preview's entries and what stayed are there), else by its name: a
//   "package" directly below DriverStore\FileRepository, a "file" when the
//   last name has an extension, else a "folder".
class EntryKinds {
 public:
  // `backupFolder` (ended by "\") is the backup the run made or restored;
  // empty when there is none.
  EntryKinds(platform::FileSystem& fs, const std::string& backupFolder);
  std::string Of(const std::string& line);

 private:
  platform::FileSystem& fs_;
  std::map<std::string, std::string> saved_;  // upper-case path, kind
};

// The list `name` of the report: each line with its kind and, when
// `reasons` is given, the reason at the same index.
ReportList ReportListOf(std::string name, const std::vector<std::string>& lines, EntryKinds& kinds,
                        const std::vector<std::string>* reasons = nullptr);

// A restore's "what: why" line as its two parts; no reason when it has none.
std::pair<std::string, std::string> SplitReason(const std::string& line);

// Whether any entry of the lists stayed for a reason a restart takes away.
bool NeedsRestart(const std::vector<ReportList>& lists);

// The two lists of a run, what went (or would go) and what stayed with
// why: the reasons at the same index, or without them each stayed line is
// "what: why" as a restore words it.
std::vector<ReportList> RunLists(platform::FileSystem& fs, const std::string& backupFolder,
                                 const char* goneName, const std::vector<std::string>& gone,
                                 const char* stayedName, const std::vector<std::string>& stayed,
                                 const std::vector<std::string>* reasons);

// Writes `json` into the log folder as `name`, a new file. Returns what
// went wrong, naming the path; empty when it was written.
std::string WriteJsonFile(platform::FileSystem& fs, const std::string& name,
                          const std::string& json);

// Completes the report with the version and the machine's name, writes it
// on `output` and into the log folder as `fileName`. Returns what kept the
// file from being written; empty when it was.
std::string PublishJsonReport(platform::Ports ports, RunReport report, const std::string& fileName,
                              MessageSink& output);

}  // namespace quenk
