#pragma once

#include "engine/Halves.h"
#include "profiles/Profile.h"
#include "profiles/Item.h"
#include "profiles/ProfileData.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quenk::profiles {

// One row of the vendor word table: command-line word, cleaning item name,
// the item's option flags and its vendor profile.
struct CleaningItem {
  std::string_view word;
  std::string_view name;
  std::optional<Item> item;  // built-in rows only: the others are found by word
  const ProfileData* profile;

  int stepCount(bool files, bool registry, const engine::Halves& halves) const;
  void clean(ProfileContext& ctx, bool files, bool registry) const;
};

// The rows of the built-in profiles, in item order, made at first use.
const std::array<CleaningItem, kItemCount>& BuiltinCleaningItems();

// The vendor word table, iterated and indexed like the array it holds.
struct CleaningItemTable {
  const CleaningItem* begin() const { return BuiltinCleaningItems().data(); }
  const CleaningItem* end() const { return begin() + size(); }
  static constexpr std::size_t size() { return kItemCount; }
  const CleaningItem& operator[](std::size_t i) const { return BuiltinCleaningItems()[i]; }
};
inline constexpr CleaningItemTable kCleaningItems{};

// The row whose item name is exactly `name`, or nullptr.
const CleaningItem* FindCleaningItem(std::string_view name);

}  // namespace quenk::profiles
