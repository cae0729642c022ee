#include "backup/PackageBackup.h"

#include "backup/BackupFolder.h"
#include "backup/RunBackup.h"
#include "base/Text.h"
#include "engine/Delete.h"

namespace quenk::backup {

namespace {

constexpr const char* kPackagesFile = "drivers.txt";

std::vector<std::string> Fields(std::string_view line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t tab = line.find('\t', start);
    fields.emplace_back(line.substr(start, tab == std::string_view::npos ? tab : tab - start));
    if (tab == std::string_view::npos) return fields;
    start = tab + 1;
  }
}

bool Inside(std::string_view relative) {
  if (relative.empty() || relative.front() == '\\' || relative.find(':') != std::string::npos)
    return false;
  return relative.find("..") == std::string_view::npos;
}

}  // namespace

std::string FormatPackageLine(const SavedPackage& p) {
  return p.published + "\t" + p.infCopy + "\t" + p.original + "\t" + p.provider + "\t" +
         p.className + "\r\n";
}

std::vector<SavedPackage> ParsePackages(std::string_view text) {
  std::vector<SavedPackage> packages;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const auto f = Fields(line);
    if (f.size() != 5 || f[0].empty() || !Inside(f[1])) continue;
    packages.push_back({f[0], f[1], f[2], f[3], f[4]});
  }
  return packages;
}

bool RunBackup::CopyTree(const std::string& from, const std::string& to) {
  if (std::uint32_t made = fs_.MakeDir(to); made && made != platform::err::kAlreadyExists)
    return Failed(made);
  auto search = fs_.Find(
      from + "\\*", platform::attr::kDirectory | platform::attr::kHidden | platform::attr::kSystem);
  platform::FindEntry e;
  while (search->Next(e)) {
    if (e.name == "." || e.name == "..") continue;
    const std::string source = engine::EntryPath(from + "\\", e);
    if (e.attributes & platform::attr::kDirectory) {
      if (!CopyTree(source, to + "\\" + e.name)) return false;
    } else if (const std::uint32_t copied = fs_.Copy(source, to + "\\" + e.name, true)) {
      return Failed(copied);
    }
  }
  // A folder that cannot be listed in full is not kept in part.
  if (const std::uint32_t error = search->Error(); error && error != platform::err::kFileNotFound)
    return Failed(error);
  return true;
}

bool RunBackup::SavePackage(const platform::DriverPackage& p) {
  failure_.clear();
  why_.clear();
  if (!Ready()) return false;
  const std::string stem = p.published.substr(0, p.published.find_last_of('.'));
  const std::string relative = "drivers\\" + stem;
  const std::string copy = folder_ + "\\" + relative;
  if (!fs_.ForceDirectories(copy)) {
    why_ = "the backup folder cannot be made";
    return false;
  }
  if (std::uint32_t copied = fs_.Copy(p.infPath, copy + "\\" + p.published, true))
    return Failed(copied);
  const std::string pnf = platform::PnfOf(p.infPath);
  if (fs_.Exists(pnf))
    if (std::uint32_t copied = fs_.Copy(pnf, platform::PnfOf(copy + "\\" + p.published), true))
      return Failed(copied);
  SavedPackage saved{p.published, relative + "\\" + p.published, p.original, p.provider,
                     p.className};
  if (!p.storeFolder.empty()) {
    if (!CopyTree(p.storeFolder, copy + "\\store")) return false;
    // The store's own inf, among the files it names, is what the system stages.
    if (!p.original.empty() && fs_.Exists(copy + "\\store\\" + p.original))
      saved.infCopy = relative + "\\store\\" + p.original;
  }
  // A backup is known by its manifest, even one that holds packages alone.
  return Append(kPackagesFile, FormatPackageLine(saved)) && Append(kManifestFile, "");
}

void RestorePackages(platform::Ports ports, const std::string& folder, RestoreResult& result) {
  auto opened = ports.fs.Open(folder + "\\" + kPackagesFile, platform::OpenMode::kRead);
  if (opened.error) return;
  std::string text;
  if (opened.file->ReadAll(text)) return;
  for (const SavedPackage& p : ParsePackages(text)) {
    const std::string line = "DriverStore\\" + p.published + " (" +
                             (p.original.empty() ? p.published : p.original) + ", " + p.provider +
                             ", " + p.className + ")";
    if (!ports.drivers) {
      result.notRestored.push_back(line + ": no driver store on this system");
      continue;
    }
    std::string published;
    if (const std::uint32_t error = ports.drivers->Stage(folder + "\\" + p.infCopy, published))
      result.notRestored.push_back(line + ": " + engine::ReasonFor(error, 0));
    else
      result.restored.push_back(line + ", published as " + published);
  }
}

}  // namespace quenk::backup
