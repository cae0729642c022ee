#pragma once

#include "platform/Shell.h"

#include <set>
#include <utility>

namespace quenk::sim {

// A notification area that a test can make refuse adding or deleting icons.
class SimShell final : public platform::Shell {
 public:
  bool AddIcon(const platform::NotifyIcon& icon) override {
    ++adds;
    if (refuseAdd) return false;
    icons.insert({icon.owner, icon.id});
    lastTip = icon.tip;
    return true;
  }
  bool DeleteIcon(const platform::NotifyIcon& icon) override {
    ++deletes;
    if (refuseDelete) return false;
    return icons.erase({icon.owner, icon.id}) > 0;
  }
  bool HasIcon() const { return !icons.empty(); }

  bool refuseAdd = false;
  bool refuseDelete = false;
  int adds = 0;
  int deletes = 0;
  std::string lastTip;
  std::set<std::pair<std::uintptr_t, std::uint32_t>> icons;
};

}  // namespace quenk::sim
