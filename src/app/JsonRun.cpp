#include "app/JsonRun.h"

#include "backup/BackupFolder.h"
#include "backup/Manifest.h"
#include "base/Text.h"
#include "platform/Paths.h"
#include "run/LogFiles.h"
#include "QuenkVersion.h"

#include <exception>

namespace quenk {
namespace {

// "HKLM\System\CurrentControlSet\Services\x" or "...\ControlSet001\Services\x".
bool IsServiceKey(const std::string& upper) {
  const std::string system = "HKLM\\SYSTEM\\";
  if (upper.rfind(system, 0) != 0) return false;
  const std::size_t set = system.size();
  const std::size_t services = upper.find('\\', set);
  if (services == std::string::npos) return false;
  const std::string setName = upper.substr(set, services - set);
  if (setName != "CURRENTCONTROLSET" && setName.rfind("CONTROLSET", 0) != 0) return false;
  const std::string rest = upper.substr(services + 1);
  return rest.rfind("SERVICES\\", 0) == 0 && rest.size() > 9 &&
         rest.find('\\', 9) == std::string::npos;
}

bool IsPackageFolder(const std::string& upper) {
  const std::string store = "\\SYSTEM32\\DRIVERSTORE\\FILEREPOSITORY\\";
  const std::size_t at = upper.find(store);
  return at != std::string::npos && upper.size() > at + store.size() &&
         upper.find('\\', at + store.size()) == std::string::npos;
}

}  // namespace

EntryKinds::EntryKinds(platform::FileSystem& fs, const std::string& backupFolder) : fs_(fs) {
  if (backupFolder.empty()) return;
  const std::string folder = backupFolder.back() == '\\' ? backupFolder : backupFolder + "\\";
  auto opened = fs.Open(folder + backup::kManifestFile, platform::OpenMode::kRead);
  std::string text;
  if (opened.error || opened.file->ReadAll(text)) return;
  for (const auto& item : backup::ParseManifest(text).items) {
    const auto& e = item.entry;
    if (e.kind == backup::Kind::kValue) {
      saved_[UpperCase(backup::ValueLine(e.path, e.value))] = "value";
      continue;
    }
    saved_[UpperCase(platform::PlainPath(e.path))] = e.kind == backup::Kind::kKey      ? "key"
                                                     : e.kind == backup::Kind::kFolder ? "folder"
                                                                                       : "file";
  }
}

std::string EntryKinds::Of(const std::string& line) {
  const std::string upper = UpperCase(platform::PlainPath(line));
  if (backup::IsKeyPath(line)) {
    if (IsServiceKey(upper)) return "service";
    if (const auto it = saved_.find(upper); it != saved_.end() && it->second == "value")
      return "value";
    if (!saved_.count(upper) && !line.empty() && line.back() == ']' &&
        line.find(" [") != std::string::npos)
      return "value";
    return "key";
  }
  if (IsPackageFolder(upper)) return "package";
  if (const auto it = saved_.find(upper); it != saved_.end()) return it->second;
  if (line.find_first_of("*?") == std::string::npos) {
    if (const auto attributes = fs_.Attributes(backup::Reachable(line)))
      return (*attributes & platform::attr::kDirectory) ? "folder" : "file";
  }
  const std::string name = platform::LastComponent(line);
  const std::size_t dot = name.find_last_of('.');
  return dot != std::string::npos && dot > 0 && dot + 1 < name.size() ? "file" : "folder";
}

ReportList ReportListOf(std::string name, const std::vector<std::string>& lines, EntryKinds& kinds,
                        const std::vector<std::string>* reasons) {
  ReportList list{std::move(name), {}};
  for (std::size_t i = 0; i < lines.size(); ++i) {
    ReportEntry entry{kinds.Of(lines[i]), lines[i], std::nullopt};
    if (reasons) entry.reason = i < reasons->size() ? (*reasons)[i] : std::string();
    list.entries.push_back(std::move(entry));
  }
  return list;
}

std::pair<std::string, std::string> SplitReason(const std::string& line) {
  // No file name holds a colon; a key name that does stays whole before it.
  const std::size_t colon = line.rfind(": ");
  if (colon == std::string::npos) return {line, {}};
  return {line.substr(0, colon), line.substr(colon + 2)};
}

bool NeedsRestart(const std::vector<ReportList>& lists) {
  for (const auto& list : lists)
    for (const auto& entry : list.entries)
      if (entry.reason && GoneAfterRestart(*entry.reason)) return true;
  return false;
}

std::vector<ReportList> RunLists(platform::FileSystem& fs, const std::string& backupFolder,
                                 const char* goneName, const std::vector<std::string>& gone,
                                 const char* stayedName, const std::vector<std::string>& stayed,
                                 const std::vector<std::string>* reasons) {
  EntryKinds kinds(fs, backupFolder);
  std::vector<ReportList> lists{ReportListOf(goneName, gone, kinds)};
  if (reasons) {
    lists.push_back(ReportListOf(stayedName, stayed, kinds, reasons));
    return lists;
  }
  std::vector<std::string> what, why;
  for (const auto& line : stayed) {
    auto [path, reason] = SplitReason(line);
    what.push_back(std::move(path));
    why.push_back(std::move(reason));
  }
  lists.push_back(ReportListOf(stayedName, what, kinds, &why));
  return lists;
}

std::string WriteJsonFile(platform::FileSystem& fs, const std::string& name,
                          const std::string& json) {
  try {
    static const std::vector<std::string> kNoLines;
    WriteLogFolderFile(fs, name, {{json, kNoLines}});
    return {};
  } catch (const std::exception& error) {
    return error.what();
  }
}

std::string PublishJsonReport(platform::Ports ports, RunReport report, const std::string& fileName,
                              MessageSink& output) {
  report.version = QUENK_VERSION;
  report.machine = ports.locale.MachineName();
  report.restartNeeded = report.restartNeeded || NeedsRestart(report.lists);
  const std::string json = FormatJsonReport(
      report, [&ports](const std::string& ansi) { return ports.locale.AnsiToUtf8(ansi); });
  output.Write(json + "\r\n");
  return WriteJsonFile(ports.fs, fileName, json);
}

}  // namespace quenk
