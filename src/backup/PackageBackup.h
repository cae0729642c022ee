#pragma once

#include "backup/Restore.h"
#include "platform/Ports.h"

#include <string>
#include <string_view>
#include <vector>

namespace quenk::backup {

// One line of drivers.txt: a saved driver package, tab-separated.
struct SavedPackage {
  std::string published;  // the name it had: "oem12.inf"
  std::string infCopy;    // below the backup folder: the inf to stage again
  std::string original;
  std::string provider;
  std::string className;
  friend bool operator==(const SavedPackage&, const SavedPackage&) = default;
};

std::string FormatPackageLine(const SavedPackage& package);
// Lines that are not understood, or whose copy would lie outside the backup, are passed over.
std::vector<SavedPackage> ParsePackages(std::string_view text);

// Stages each saved package again through the system's own call, which
// may give it another published name; the restored line says which.
void RestorePackages(platform::Ports ports, const std::string& folder, RestoreResult& result);

}  // namespace quenk::backup
