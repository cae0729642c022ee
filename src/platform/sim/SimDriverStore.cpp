#include "platform/sim/SimDriverStore.h"

#include "base/Text.h"
#include "platform/Errors.h"
#include "platform/Wildcard.h"
#include "platform/sim/SimInf.h"

#include <cstdio>

namespace quenk::sim {

namespace {

constexpr std::uint32_t kInvalidData = 13;

std::string Leaf(const std::string& path) {
  return path.substr(path.find_last_of('\\') + 1);
}

std::string FolderOf(const std::string& path) {
  return path.substr(0, path.find_last_of('\\'));
}

// A stable stand-in for the hash the system puts in store folder names.
std::string Hash(const std::string& text) {
  std::uint32_t h = 2166136261u;
  for (const char c : text) h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
  char buffer[9];
  std::snprintf(buffer, sizeof buffer, "%08x", h);
  return buffer;
}

std::string Lower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

}  // namespace

std::string SimDriverStore::InfFolder() {
  return fs_.Env("SYSTEMROOT").value_or("C:\\Windows") + std::string(platform::kInfFolder);
}

std::string SimDriverStore::Repository() {
  return fs_.Env("SYSTEMROOT").value_or("C:\\Windows") + std::string(platform::kStoreRepository);
}

void SimDriverStore::Publish(const std::string& published, const std::string& original,
                             const std::string& storeFolder) {
  published_[UpperCase(published)] = {original, storeFolder};
}

std::vector<platform::DriverPackage> SimDriverStore::Packages() {
  std::vector<platform::DriverPackage> packages;
  const std::string folder = InfFolder();
  for (const std::string& name : fs_.List(folder)) {
    const SimNode* node = fs_.Node(folder + "\\" + name);
    if (!node || node->IsFolder() || !platform::MatchesMask(name, "oem*.inf")) continue;
    platform::DriverPackage p;
    p.published = name;
    p.infPath = folder + "\\" + name;
    if (const auto entry = published_.find(UpperCase(name)); entry != published_.end()) {
      p.original = entry->second.original;
      if (fs_.FolderExists(entry->second.storeFolder)) p.storeFolder = entry->second.storeFolder;
    }
    const auto inf = SimInf::Parse(node->content);
    if (!inf) {
      p.problem = "does not read as an INF file";
      packages.push_back(std::move(p));
      continue;
    }
    p.provider = inf->Text("Version", "Provider").value_or("");
    p.className = inf->Text("Version", "Class").value_or("");
    p.driverVer = inf->Text("Version", "DriverVer").value_or("");
    p.catalog = inf->Text("Version", "CatalogFile").value_or("");
    for (const std::string_view section : platform::kSourceDisksSections)
      for (std::string& key : inf->Keys(std::string(section))) p.files.push_back(std::move(key));
    p.problem = platform::ProviderProblem(p.provider);
    packages.push_back(std::move(p));
  }
  return packages;
}

std::vector<platform::DriverDevice> SimDriverStore::DevicesUsing(
    const platform::DriverPackage& package) {
  std::vector<platform::DriverDevice> using_;
  for (const Device& d : devices)
    if (d.present && EqualsNoCase(d.published, package.published))
      using_.push_back({d.description, d.hardwareId});
  return using_;
}

platform::DriverRemoval SimDriverStore::Remove(const platform::DriverPackage& package) {
  platform::DriverRemoval removal;
  const std::string inf = InfFolder() + "\\" + package.published;
  if (!administrator) {
    removal.error = platform::err::kAccessDenied;
    removal.gone = !fs_.Exists(inf);
    return removal;
  }
  if (hasDiUninstallDriver) {
    ++detachCalls;
    bool detached = false;
    for (Device& d : devices)
      if (EqualsNoCase(d.published, package.published)) {
        d.published.clear();
        detached = true;
      }
    removal.restart = detached && detachNeedsRestart;
  }
  if (!fs_.Exists(inf)) {
    removal.error = platform::err::kFileNotFound;
    removal.gone = true;
    return removal;
  }
  removal.reportedSuccess = true;
  if (!removalLeavesPackage) {
    fs_.Delete(inf);
    const auto entry = published_.find(UpperCase(package.published));
    if (!leavesPnf) {
      fs_.Delete(platform::PnfOf(inf));
      if (entry != published_.end()) RemoveTree(entry->second.storeFolder);
    }
    if (entry != published_.end()) published_.erase(entry);
  }
  removal.gone = !fs_.Exists(inf);
  // What the system leaves of a removed package: its precompiled twin.
  if (removal.gone && fs_.Exists(platform::PnfOf(inf))) fs_.Delete(platform::PnfOf(inf));
  return removal;
}

std::uint32_t SimDriverStore::Stage(const std::string& infPath, std::string& published) {
  if (!administrator) return platform::err::kAccessDenied;
  const SimNode* source = fs_.Node(infPath);
  if (!source || source->IsFolder()) return platform::err::kFileNotFound;
  if (!SimInf::Parse(source->content)) return kInvalidData;
  const std::string folder = InfFolder();
  // The same package published already keeps its name.
  for (const std::string& name : fs_.List(folder)) {
    const SimNode* node = fs_.Node(folder + "\\" + name);
    if (node && !node->IsFolder() && platform::MatchesMask(name, "oem*.inf") &&
        node->content == source->content) {
      published = name;
      return 0;
    }
  }
  int n = 0;
  while (fs_.Exists(folder + "\\oem" + std::to_string(n) + ".inf")) ++n;
  published = "oem" + std::to_string(n) + ".inf";
  const std::string original = Leaf(infPath);
  const std::string store =
      Repository() + "\\" + Lower(original) + "_amd64_" + Hash(source->content);
  CopyFolder(FolderOf(infPath), store);
  fs_.AddFile(folder + "\\" + published, source->content);
  fs_.AddFile(platform::PnfOf(folder + "\\" + published), "PNF " + original);
  Publish(published, original, store);
  return 0;
}

void SimDriverStore::RemoveTree(const std::string& path) {
  const SimNode* node = fs_.Node(path);
  if (path.empty() || !node) return;
  if (node->IsFolder() && !node->IsLink())
    for (const std::string& name : fs_.List(path)) RemoveTree(path + "\\" + name);
  if (node->IsFolder())
    fs_.RemoveDir(path);
  else
    fs_.Delete(path);
}

void SimDriverStore::CopyFolder(const std::string& from, const std::string& to) {
  fs_.AddFolder(to);
  for (const std::string& name : fs_.List(from)) {
    const SimNode* node = fs_.Node(from + "\\" + name);
    if (!node || node->IsLink()) continue;
    if (node->IsFolder())
      CopyFolder(from + "\\" + name, to + "\\" + name);
    else
      fs_.AddFile(to + "\\" + name, node->content, node->attributes);
  }
}

}  // namespace quenk::sim
