#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quenk {

// Which version of the report's layout a document follows; raised when a
// field changes its meaning or goes, not when one is added.
inline constexpr int kJsonSchema = 1;

// One line of a run's list: what it is ("file", "folder", "key", "value",
// "service", "package"), the path or key as the log file words it, and for
// the lists of what stayed, why (empty when not known).
struct ReportEntry {
  std::string kind{};
  std::string path{};
  std::optional<std::string> reason{};
};

struct ReportList {
  std::string name{};  // "deleted", "notDeleted", "willBeDeleted", ...
  std::vector<ReportEntry> entries{};
};

// A silent run's result as plain data. Text is in the ANSI code page, as
// the log file holds it.
struct RunReport {
  std::string version{};
  std::string machine{};
  std::string stamp{};
  std::string mode{};  // "clean", "preview" or "restore"
  std::vector<std::string> items{};
  int exitCode = 0;
  std::string logFile{};  // the text file written, empty when none was
  std::string backup{};   // the backup folder made or restored, empty when none
  std::vector<ReportList> lists{};
  bool restartNeeded = false;
};

// The report as one line of JSON in UTF-8, every string converted from the
// code page by `toUtf8`.
std::string FormatJsonReport(const RunReport& report,
                             const std::function<std::string(const std::string&)>& toUtf8);

// Whether an entry stayed for a reason a restart takes away (a file in use
// by a driver that is loaded).
bool GoneAfterRestart(std::string_view reason);

}  // namespace quenk
