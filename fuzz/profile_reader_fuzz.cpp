// The profile reader on any bytes: no crash, and a profile it lets through
// keeps the promises validation makes (masks without a separator and with
// two letters before a wildcard, folders that start at a variable or a drive
// and end in "\"), and its steps count without surprise.
#include "engine/Halves.h"
#include "profiles/DataProfile.h"
#include "profiles/ProfileReader.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

void Check(bool holds) {
  if (!holds) std::abort();
}

bool Rooted(const std::string& path) {
  return (path.size() >= 3 && path[0] == '%' && path.find('%', 2) != std::string::npos) ||
         (path.size() >= 3 && path[1] == ':' && path[2] == '\\');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quenk::profiles;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const ReadProfileResult read = ReadProfile(text, "fuzz.toml", quenk::platform::Latin1CodePage());
  Check(read.profile.has_value() == read.errors.empty());
  for (const auto& e : read.errors) Check(e.place.line >= 1 && e.place.column >= 1);
  if (!read.profile) return 0;
  for (const FileStep& step : read.profile->files) {
    if (step.kind == FileStep::Kind::kMasks || step.kind == FileStep::Kind::kInstallers)
      Check(Rooted(step.folder) && step.folder.back() == '\\');
    for (const std::string& mask : step.masks) {
      Check(mask.find_first_of("\\/") == std::string::npos);
      const std::size_t wildcard = mask.find_first_of("*?<>\"");
      Check(wildcard == std::string::npos || wildcard >= 2);
    }
    for (const std::string& tree : step.trees) Check(Rooted(tree));
  }
  quenk::engine::Halves halves;
  halves.sysWow64 = "C:\\Windows\\SysWOW64\\";
  halves.system32 = "C:\\Windows\\System32\\";
  halves.registry32 = true;
  Check(StepCount(*read.profile, true, true, halves) >= 0);
  return 0;
}
