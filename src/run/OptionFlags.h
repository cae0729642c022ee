#pragma once

#include "profiles/CleaningItems.h"
#include "profiles/Item.h"

#include <array>
#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace quenk {

struct ItemSwitches {
  bool files = true;
  bool registry = true;
  friend bool operator==(const ItemSwitches&, const ItemSwitches&) = default;
};

// The option flags the main window holds for the whole process: thirteen,
// and two more for each profile beside the program.
struct OptionFlags {
  std::array<ItemSwitches, kItemCount> items{};
  // The profiles beside the program, by word; one not here has both on.
  std::map<std::string, ItemSwitches, std::less<>> more;
  bool logFiles = false;
  bool systemTray = false;
  bool backup = true;

  ItemSwitches& operator[](Item item) { return items[static_cast<std::size_t>(item)]; }
  const ItemSwitches& operator[](Item item) const { return items[static_cast<std::size_t>(item)]; }
  ItemSwitches Of(const profiles::CleaningItem& row) const {
    if (row.item) return (*this)[*row.item];
    const auto found = more.find(row.word);
    return found == more.end() ? ItemSwitches{} : found->second;
  }
  friend bool operator==(const OptionFlags&, const OptionFlags&) = default;
};

struct ItemSection {
  Item item;
  std::string_view section;
};

// Settings sections of the items, in the order the settings file keeps them.
inline constexpr std::array<ItemSection, kItemCount> kItemSections{{
    {Item::kNvidiaChipset, "NVIDIA Chipset"},
    {Item::kNvidiaDisplay, "NVIDIA Display"},
    {Item::kAti, "ATi Display"},
    {Item::kCreative, "Creative Sound"},
    {Item::kRealtek, "Realtek Sound"},
}};

constexpr std::string_view SectionOf(Item item) {
  for (const auto& row : kItemSections)
    if (row.item == item) return row.section;
  return {};
}

inline constexpr std::string_view kFilesKey = "Files";
inline constexpr std::string_view kRegistryKey = "Registry";
inline constexpr std::string_view kLogfilesSection = "Logfiles";
inline constexpr std::string_view kLogfilesKey = "Logfiles";
inline constexpr std::string_view kSystemTraySection = "SystemTray";
inline constexpr std::string_view kSystemTrayKey = "SystemTray";
inline constexpr std::string_view kBackupSection = "Backup";
inline constexpr std::string_view kBackupKey = "Backup";

}  // namespace quenk
