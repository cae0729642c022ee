#pragma once

#include <cstdint>
#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace quenk::platform {

// A third-party driver package as the system publishes it: an oem*.inf in
// the Windows INF folder. What could not be read is left empty, and
// `problem` says why.
struct DriverPackage {
  std::string published;    // "oem12.inf"
  std::string infPath;      // the published inf, full path
  std::string original;     // "nv_dispi.inf"; empty when the system does not say
  std::string storeFolder;  // its folder in the driver store; empty when none is known
  std::string provider;     // [Version] entries, strings expanded
  std::string className;
  std::string driverVer;
  std::string catalog;
  std::vector<std::string> files;  // the keys of its [SourceDisksFiles] sections
  std::string problem;             // empty when the inf read as an INF with a provider

  // The original name where known, else the published one.
  const std::string& OriginalOrPublished() const { return original.empty() ? published : original; }
};

// A present device whose driver was installed from a package.
struct DriverDevice {
  std::string description;
  std::string hardwareId;
};

// What a removal did, judged by its effect.
struct DriverRemoval {
  bool gone = false;  // the published inf is gone afterwards
  bool reportedSuccess = false;
  std::uint32_t error = 0;  // the last error a failing call gave
  bool restart = false;     // the system asked for a restart
};

// The system's store of driver packages.
class DriverStore {
 public:
  virtual ~DriverStore() = default;
  // Every published oem*.inf, in listing order; one that does not read as an
  // INF is listed with its problem.
  virtual std::vector<DriverPackage> Packages() = 0;
  // The present devices whose driver key names the package's published inf.
  virtual std::vector<DriverDevice> DevicesUsing(const DriverPackage& package) = 0;
  // Detaches the package from its devices where the system can, then
  // removes it; a .pnf the system leaves behind is removed too.
  virtual DriverRemoval Remove(const DriverPackage& package) = 0;
  // Publishes the inf at `infPath` (the files it names beside it); 0 and the
  // published name the system gave, or the error.
  virtual std::uint32_t Stage(const std::string& infPath, std::string& published) = 0;
};

// Where an INF lists the files of its package.
inline constexpr std::array<std::string_view, 4> kSourceDisksSections{
    "SourceDisksFiles", "SourceDisksFiles.amd64", "SourceDisksFiles.x86", "SourceDisksFiles.arm64"};
inline constexpr std::string_view kInfFolder = "\\INF";
inline constexpr std::string_view kStoreRepository = "\\System32\\DriverStore\\FileRepository";

// "nv_dispi.inf" from a store folder's name ("...\nv_dispi.inf_amd64_1a2b"),
// or nothing when the name holds no ".inf".
std::string OriginalFromStoreName(std::string_view folder);
// Why a package's provider cannot be matched ("" when it can): missing, or
// a %token% its [Strings] do not resolve.
std::string ProviderProblem(const std::string& provider);
// The precompiled twin the system keeps beside a published inf.
std::string PnfOf(const std::string& infPath);

}  // namespace quenk::platform
