#pragma once

#include "profiles/Profile.h"
#include "settings/OptionFlags.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace quenk::profiles {

// One row of the vendor word table: command-line word, cleaning item name,
// the item's option flags and its vendor profile.
struct CleaningItem {
  std::string_view word;
  std::string_view name;
  Item item;
  int (*stepCount)(bool files, bool registry, const engine::Halves& halves);
  void (*clean)(ProfileContext& ctx, bool files, bool registry);
};

extern const std::array<CleaningItem, kItemCount> kCleaningItems;

// The row whose item name is exactly `name`, or nullptr.
const CleaningItem* FindCleaningItem(std::string_view name);

// Runs the vendor profile of each entry in list order, with the switches of
// the entry's item. An entry that names no item is skipped.
void CleanEntries(ProfileContext& ctx, const std::vector<std::string>& entries,
                  const OptionFlags& flags);

}  // namespace quenk::profiles
