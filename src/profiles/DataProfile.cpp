#include "profiles/DataProfile.h"

#include "base/Text.h"
#include "platform/Paths.h"
#include "profiles/DriverMatch.h"
#include "profiles/FolderLookup.h"
#include "profiles/ProtectedFolders.h"

#include <string_view>
#include <vector>

namespace quenk::profiles {

namespace {

constexpr std::string_view kSystemRootVariable = "%SYSTEMROOT%";

// Whether the engine repeats a file step on its folder under SysWOW64. A
// folder reached through another variable counts once.
bool HasFilesTwin(const std::string& folder, const engine::Halves& halves) {
  if (halves.sysWow64.empty()) return false;
  if (StartsWithNoCase(folder, kSystemRootVariable))
    return StartsWithNoCase(std::string_view(folder).substr(kSystemRootVariable.size()),
                            "\\System32\\");
  return halves.FilesTwin(folder).has_value();
}

std::vector<std::string_view> Views(const std::vector<std::string>& texts) {
  return {texts.begin(), texts.end()};
}

// Whether a tree must stay whatever the profile says: a protected folder or
// one above it, or anything inside the system folders.
bool IsProtectedTree(platform::FileSystem& fs, const std::string& path) {
  if (IsProtectedFolder(fs, path)) return true;
  const std::string windows = fs.EnvOrEmpty("SYSTEMROOT");
  if (windows.empty()) return false;
  return NamesOrHolds(fs, windows + "\\System32", {path}) ||
         NamesOrHolds(fs, windows + "\\SysWOW64", {path});
}

bool HasWildcard(std::string_view path) {
  return path.find_first_of("*?<>\"") != std::string_view::npos;
}

// Whether each path of the tree is a progress step of its own: the kinds
// a technician's profile brings, never the built-in plain trees.
bool IsCountedTree(const FileStep& step, const std::string& tree) {
  return step.forEachProfile || HasWildcard(tree);
}

// The tree as written, or once for every profile folder of the machine.
std::vector<std::string> TreesOf(const FileStep& step, const std::string& tree,
                                 const engine::Halves& halves) {
  if (!step.forEachProfile) return {tree};
  constexpr std::string_view kProfile = "%USERPROFILE%";
  std::vector<std::string> trees;
  for (const std::string& folder : halves.profileFolders)
    trees.push_back(folder + tree.substr(kProfile.size()));
  return trees;
}

// A package folder right inside the driver store's FileRepository: the one
// place inside System32 a profile may name a tree, by a mask.
bool IsStorePackage(platform::FileSystem& fs, const std::string& path) {
  const std::string windows = fs.EnvOrEmpty("SYSTEMROOT");
  if (windows.empty()) return false;
  const std::string repository = windows + "\\System32\\DriverStore\\FileRepository\\";
  if (!StartsWithNoCase(path, repository) || path.size() <= repository.size()) return false;
  const std::string_view leaf = std::string_view(path).substr(repository.size());
  return leaf.find('\\') == std::string_view::npos && !platform::IsDotName(leaf) &&
         !IsProtectedFolder(fs, path);
}

// Whether a folder on the way to `path`, or `path` itself, is a link.
bool ThroughLink(platform::FileSystem& fs, const std::string& path) {
  std::vector<std::string> steps = ParentsOf(path);
  steps.insert(steps.begin(), path);
  for (const std::string& step : steps) {
    const auto attributes = fs.Attributes(step);
    if (attributes && (*attributes & platform::attr::kReparsePoint)) return true;
  }
  return false;
}

class Run {
 public:
  Run(ProfileContext& ctx, const ProfileData& profile) : ctx_(ctx), profile_(profile) {}

  void Files(const FileStep& step) {
    switch (step.kind) {
      case FileStep::Kind::kMasks:
        if (const auto folder = Expand(step.folder, step.place)) {
          const int steps = static_cast<int>(step.masks.size()) *
                            (HasFilesTwin(step.folder, ctx_.remover.MachineHalves()) ? 2 : 1);
          if (LinkedFolder(*folder, steps)) break;
          const auto masks = Views(step.masks);
          ctx_.remover.RemoveFiles(*folder, masks);
        }
        break;
      case FileStep::Kind::kInstallers:
        if (const auto folder = Expand(step.folder, step.place)) {
          if (LinkedFolder(*folder, 0)) break;
          ctx_.remover.RemoveInstallerFolders(*folder, step.company);
        }
        break;
      case FileStep::Kind::kNamedBy:
        RemoveRegisteredFolders(ctx_, step.key, step.value);
        break;
      case FileStep::Kind::kTrees:
        for (const std::string& tree : step.trees) {
          for (const std::string& each : TreesOf(step, tree, ctx_.remover.MachineHalves())) {
            if (const auto path = Expand(each, step.place)) {
              if (HasWildcard(*path))
                RemoveMatchingTrees(*path, step.forEachProfile);
              else if (ctx_.fs.FolderExists(*path))
                RemoveTree(*path, step.forEachProfile);
            }
            if (IsCountedTree(step, tree)) ctx_.remover.SkipStep();
          }
        }
        break;
    }
  }

  void Drivers(const DriverCriteria& criteria) {
    ctx_.remover.RemoveDriverPackages(
        [&criteria](const platform::DriverPackage& p) { return Matches(criteria, p); });
  }

  // The device that keeps the profile's driver installed, if any.
  std::optional<std::string> InUse() {
    if (!profile_.detect) return std::nullopt;
    const DriverCriteria& criteria = *profile_.detect;
    return ctx_.remover.DeviceOnPackage(
        [&criteria](const platform::DriverPackage& p) { return Matches(criteria, p); });
  }

  // Every step recorded as not deleted, each with the progress it counts.
  void KeepAll(const std::string& device, bool files, bool registry, const engine::Halves& halves) {
    const std::string why = "the driver is still installed: in use by " + device;
    const auto keep = [&](const std::string& line, int steps) {
      ctx_.remover.Keep(line, why, steps);
    };
    if (files) {
      for (const DriverCriteria& criteria : profile_.drivers)
        ctx_.remover.KeepDriverPackages(
            [&criteria](const platform::DriverPackage& p) { return Matches(criteria, p); }, why);
      for (const FileStep& step : profile_.files) {
        const std::string folder = ExpandVariables(ctx_.fs, step.folder).value_or(step.folder);
        switch (step.kind) {
          case FileStep::Kind::kMasks:
            for (const std::string& mask : step.masks)
              keep(folder + mask, HasFilesTwin(step.folder, halves) ? 2 : 1);
            break;
          case FileStep::Kind::kInstallers:
            keep(folder, 0);
            break;
          case FileStep::Kind::kNamedBy:
            keep("HKLM\\" + step.key + " [" + step.value + "]", 0);
            break;
          case FileStep::Kind::kTrees:
            for (const std::string& tree : step.trees)
              for (const std::string& each : TreesOf(step, tree, halves))
                keep(ExpandVariables(ctx_.fs, each).value_or(each), IsCountedTree(step, tree));
            break;
        }
      }
    }
    if (registry) {
      for (const RegistryStep& step : profile_.registry) {
        if (step.kind == RegistryStep::Kind::kKeys) {
          for (const std::string& key : step.keys)
            keep(std::string(engine::RootPrefix(step.root)) + step.base + "\\" + key,
                 halves.KeysTwin(step.root, step.base) ? 2 : 1);
        } else if (step.kind == RegistryStep::Kind::kValues) {
          for (const ValueName& v : step.values)
            keep(std::string(engine::RootPrefix(v.root)) + v.key + " [" + v.value + "]", 1);
        } else if (step.kind == RegistryStep::Kind::kServices) {
          for (const std::string& name : step.serviceNames)
            keep("HKLM\\System\\CurrentControlSet\\Services\\" + name, 1);
        } else {
          for (const std::string& key : step.enumRoot)
            keep("HKLM\\System\\CurrentControlSet\\Enum\\Root\\" + key,
                 static_cast<int>(kEnumRootBases.size()));
          for (const std::string& key : step.services)
            keep("HKLM\\System\\CurrentControlSet\\Services\\" + key,
                 static_cast<int>(kServicesBases.size()));
        }
      }
    }
  }

  void Registry(const RegistryStep& step) {
    switch (step.kind) {
      case RegistryStep::Kind::kKeys: {
        const auto keys = Views(step.keys);
        ctx_.remover.RemoveKeys(step.root, step.base, keys);
        break;
      }
      case RegistryStep::Kind::kControlSets: {
        const auto enumRoot = Views(step.enumRoot);
        const auto services = Views(step.services);
        SweepControlSets(ctx_, enumRoot, services);
        break;
      }
      case RegistryStep::Kind::kValues:
        for (const ValueName& v : step.values) ctx_.remover.RemoveValue(v.root, v.key, v.value);
        break;
      case RegistryStep::Kind::kServices:
        for (const std::string& name : step.serviceNames) ctx_.remover.RemoveService(name);
        break;
    }
  }

 private:
  // A tree below a profile folder is the profile's, even where the system
  // keeps that profile inside System32: only the protected folders hold it back.
  void RemoveTree(const std::string& path, bool inProfile = false) {
    // A step out of the profile ("..") is no longer the profile's.
    if (path.find("\\..") != std::string::npos || path.find("\\.\\") != std::string::npos)
      inProfile = false;
    const bool guarded = !profile_.builtIn && Guarded(path, inProfile);
    // The built-in trees keep the behaviour their records were made with.
    if (const auto published = profile_.builtIn ? std::nullopt : ctx_.remover.PublishedFrom(path))
      ctx_.remover.Keep(path, "the store folder of the published " + *published);
    else if (!profile_.builtIn && guarded)
      ctx_.remover.RefuseFolder(path);
    else
      ctx_.remover.RemoveFolder(path);
  }

  // The folder guard of a profile not built in: no folder a registry value
  // may not name, judged by what it is, nor any folder that holds one; no
  // path through a link; nothing in the system folders but a driver-store
  // package folder; none of the program's own folders.
  bool Guarded(const std::string& path, bool inProfile) {
    if (ThroughLink(ctx_.fs, path) || IsProgramFolder(path)) return true;
    if (IsStorePackage(ctx_.fs, path)) return false;
    // Service and system profiles live in the system folders.
    if (!inProfile && IsProtectedTree(ctx_.fs, path)) return true;
    if (!ctx_.protectedFolders) ctx_.protectedFolders.emplace(ctx_.fs, ctx_.registry);
    return ctx_.protectedFolders->Holds(path);
  }

  // The program's folder, its logs and backups, and anything holding them.
  bool IsProgramFolder(const std::string& path) {
    const std::string program = platform::ParentOf(ctx_.fs.ModulePath());
    const std::string current = ctx_.fs.CurrentDir();
    for (const std::string& own :
         {program, platform::Join(current, "Logs"), platform::Join(current, "Backups")})
      if (!own.empty() && (EqualsNoCase(path, own) || StartsWithNoCase(own, path + "\\") ||
                           StartsWithNoCase(path, own + "\\")))
        return true;
    return false;
  }

  // A folder of a profile not built in that a link leads to stays, with
  // the steps it would have taken.
  bool LinkedFolder(const std::string& folder, int steps) {
    if (profile_.builtIn || !ThroughLink(ctx_.fs, folder)) return false;
    ctx_.remover.Keep(folder, "reached through a link", steps);
    return true;
  }

  // Each folder of the parent whose name the last part matches goes whole.
  void RemoveMatchingTrees(const std::string& pattern, bool inProfile) {
    const std::string parent = pattern.substr(0, pattern.rfind('\\') + 1);
    std::vector<std::string> found;
    {
      auto search = ctx_.fs.Find(pattern, platform::attr::kAnyFile);
      platform::FindEntry entry;
      while (search->Next(entry))
        if (!platform::IsDotName(entry.name) && (entry.attributes & platform::attr::kDirectory))
          found.push_back(engine::EntryPath(parent, entry));
    }
    for (const std::string& path : found) RemoveTree(path, inProfile);
  }

  std::optional<std::string> Expand(const std::string& path, SourcePlace place) {
    if (profile_.builtIn) return ExpandVariables(ctx_.fs, path);
    std::string unset;
    auto expanded = ExpandVariables(ctx_.fs, path, &unset);
    if (!expanded && ctx_.messages)
      ctx_.messages->push_back(profile_.file + ", line " + std::to_string(place.line) + ": %" +
                               unset + "% is not set; " + path + " left out");
    return expanded;
  }

  ProfileContext& ctx_;
  const ProfileData& profile_;
};

}  // namespace

std::optional<std::string> ExpandVariables(platform::FileSystem& fs, std::string_view path,
                                           std::string* unset) {
  std::string out;
  std::size_t i = 0;
  for (;;) {
    const std::size_t open = path.find('%', i);
    const std::size_t close = open == std::string_view::npos ? open : path.find('%', open + 1);
    if (close == std::string_view::npos || close == open + 1) break;
    out += path.substr(i, open - i);
    const std::string name(path.substr(open + 1, close - open - 1));
    if (const auto value = fs.Env(name)) {
      out += *value;
    } else if (unset) {
      *unset = name;
      return std::nullopt;
    }
    i = close + 1;
  }
  return out + std::string(path.substr(i));
}

int StepCount(const ProfileData& profile, bool files, bool registry, const engine::Halves& halves) {
  std::size_t f = profile.drivers.size();
  for (const FileStep& step : profile.files) {
    if (step.kind == FileStep::Kind::kMasks)
      f += step.masks.size() * (HasFilesTwin(step.folder, halves) ? 2 : 1);
    if (step.kind == FileStep::Kind::kTrees)
      for (const std::string& tree : step.trees)
        if (IsCountedTree(step, tree)) f += TreesOf(step, tree, halves).size();
  }
  std::size_t r = 0;
  for (const RegistryStep& step : profile.registry) {
    switch (step.kind) {
      case RegistryStep::Kind::kKeys:
        r += step.keys.size() * (halves.KeysTwin(step.root, step.base) ? 2 : 1);
        break;
      case RegistryStep::Kind::kControlSets:
        r += kEnumRootBases.size() * step.enumRoot.size() +
             kServicesBases.size() * step.services.size();
        break;
      case RegistryStep::Kind::kValues:
        r += step.values.size();
        break;
      case RegistryStep::Kind::kServices:
        r += step.serviceNames.size();
        break;
    }
  }
  return Steps(files, registry, f, r);
}

void Clean(ProfileContext& ctx, const ProfileData& profile, bool files, bool registry) {
  Run run(ctx, profile);
  if (const auto device = run.InUse())
    return run.KeepAll(*device, files, registry, ctx.remover.MachineHalves());
  if (files) {
    for (const DriverCriteria& criteria : profile.drivers) run.Drivers(criteria);
    for (const FileStep& step : profile.files) run.Files(step);
  }
  if (registry)
    for (const RegistryStep& step : profile.registry) run.Registry(step);
}

}  // namespace quenk::profiles
