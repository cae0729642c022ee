#pragma once

#include "profiles/Profile.h"
#include "profiles/Item.h"

#include <array>
#include <string_view>

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

}  // namespace quenk::profiles
