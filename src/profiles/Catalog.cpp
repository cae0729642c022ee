#include "profiles/Catalog.h"

namespace quenk::profiles {

std::vector<CleaningItem> Catalog::BuiltinRows() {
  return {kCleaningItems.begin(), kCleaningItems.end()};
}

Catalog::Catalog(std::vector<ProfileData> more) {
  for (ProfileData& profile : more) {
    const auto& kept = more_.emplace_back(std::make_unique<const ProfileData>(std::move(profile)));
    rows_.push_back({kept->word, kept->name, std::nullopt, kept.get()});
  }
}

std::span<const CleaningItem> Catalog::Items() const {
  return rows_;
}

std::span<const CleaningItem> Catalog::More() const {
  return std::span(rows_).subspan(kCleaningItems.size());
}

const CleaningItem* Catalog::ByName(std::string_view name) const {
  for (const auto& row : rows_)
    if (row.name == name) return &row;
  return nullptr;
}

const CleaningItem* Catalog::ByWord(std::string_view word) const {
  for (const auto& row : rows_)
    if (row.word == word) return &row;
  return nullptr;
}

const Catalog& BuiltinCatalog() {
  static const Catalog builtIn;
  return builtIn;
}

}  // namespace quenk::profiles
