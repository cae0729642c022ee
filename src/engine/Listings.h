#pragma once

#include "platform/FileSystem.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace quenk::engine {

// The entry a folder's listing gave, and whether the run has removed it since.
struct Listed {
  platform::FindEntry entry;
  bool gone = false;
};

// What one run has listed of each folder: a folder is listed when the run
// first needs it and kept for the rest of the run, brought up to date by
// what the run itself removes. Whatever another program changes meanwhile
// shows as a removal that fails, never as another entry removed: each
// deletion still opens the entry by the listed name and checks it.
class Listings {
 public:
  explicit Listings(platform::FileSystem& fs) : fs_(fs) {}

  // `folder` ends in "\". The entries but "." and ".."; none when it cannot
  // be listed. The reference stays valid for the run.
  std::vector<Listed>& Of(const std::string& folder);
  // nullptr when `folder` has not been listed.
  std::vector<Listed>* Kept(const std::string& folder);
  int Count() const { return listed_; }

  // The run removed the entry of `folder` named `name` (its long or short name).
  void Removed(const std::string& folder, std::string_view name);
  // The run removed the tree at `path`, or some of it: its folder's listing
  // loses it when it went, and whatever was kept of folders inside it goes.
  void TreeRemoved(const std::string& path, bool whole);

 private:
  // Upper case, no literal prefix, no trailing "\".
  static std::string Key(std::string_view folder);

  platform::FileSystem& fs_;
  std::map<std::string, std::vector<Listed>> kept_;
  int listed_ = 0;
};

}  // namespace quenk::engine
