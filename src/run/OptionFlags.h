#pragma once

#include "profiles/Item.h"

#include <array>
#include <cstddef>
#include <string_view>

namespace quenk {

struct ItemSwitches {
  bool files = true;
  bool registry = true;
  friend bool operator==(const ItemSwitches&, const ItemSwitches&) = default;
};

// The thirteen option flags the main window holds for the whole process.
struct OptionFlags {
  std::array<ItemSwitches, kItemCount> items{};
  bool logFiles = false;
  bool systemTray = false;
  bool backup = true;

  ItemSwitches& operator[](Item item) { return items[static_cast<std::size_t>(item)]; }
  const ItemSwitches& operator[](Item item) const { return items[static_cast<std::size_t>(item)]; }
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
