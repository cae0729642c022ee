#pragma once

#include "profiles/CleaningItems.h"
#include "profiles/ProfileData.h"

#include <memory>
#include <span>
#include <string_view>
#include <vector>

namespace quenk::profiles {

// The cleaning items of a process: the built-in profiles, then those read
// from the profiles folder beside the program, in file-name order.
class Catalog {
 public:
  Catalog() = default;
  explicit Catalog(std::vector<ProfileData> more);
  Catalog(const Catalog&) = delete;
  Catalog& operator=(const Catalog&) = delete;
  Catalog(Catalog&&) = default;
  Catalog& operator=(Catalog&&) = default;

  // The built-in rows first, in item order.
  std::span<const CleaningItem> Items() const;
  // The rows beyond the built-in ones.
  std::span<const CleaningItem> More() const;

  // Matched exactly, letter case and all; nullptr when none.
  const CleaningItem* ByName(std::string_view name) const;
  const CleaningItem* ByWord(std::string_view word) const;

 private:
  // Owned through a pointer each, so the rows' views stay put when the catalog moves.
  std::vector<std::unique_ptr<const ProfileData>> more_;
  std::vector<CleaningItem> rows_ = BuiltinRows();

  static std::vector<CleaningItem> BuiltinRows();
};

// The catalog of the built-in profiles alone, as a process without a
// profiles folder has it.
const Catalog& BuiltinCatalog();

}  // namespace quenk::profiles
