#include "profiles/CleaningItems.h"

#include "profiles/BuiltinProfiles.h"
#include "profiles/DataProfile.h"

namespace quenk::profiles {

static_assert(kBuiltinProfileCount == kItemCount);

int CleaningItem::stepCount(bool files, bool registry, const engine::Halves& halves) const {
  return StepCount(*profile, files, registry, halves);
}

void CleaningItem::clean(ProfileContext& ctx, bool files, bool registry) const {
  Clean(ctx, *profile, files, registry);
}

const std::array<CleaningItem, kItemCount>& BuiltinCleaningItems() {
  static const std::array<CleaningItem, kItemCount> rows = [] {
    std::array<CleaningItem, kItemCount> made{};
    const auto& profiles = BuiltinProfiles();
    for (std::size_t i = 0; i < kItemCount; ++i)
      made[i] = {profiles[i].word, profiles[i].name, static_cast<Item>(i), &profiles[i]};
    return made;
  }();
  return rows;
}

const CleaningItem* FindCleaningItem(std::string_view name) {
  for (const auto& row : kCleaningItems)
    if (row.name == name) return &row;
  return nullptr;
}

}  // namespace quenk::profiles
