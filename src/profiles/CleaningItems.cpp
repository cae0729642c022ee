#include "profiles/CleaningItems.h"

#include "profiles/ATi.h"
#include "profiles/Creative.h"
#include "profiles/NVIDIA.h"
#include "profiles/NVIDIA_CHIPSET.h"
#include "profiles/Realtek.h"

namespace quenk::profiles {

const std::array<CleaningItem, kItemCount> kCleaningItems{{
    {"NVIDIA", "NVIDIA - Display", Item::kNvidiaDisplay, &nvidia::StepCount, &nvidia::Clean},
    {"NVIDIAChipset", "NVIDIA - Chipset", Item::kNvidiaChipset, &nvidia_chipset::StepCount,
     &nvidia_chipset::Clean},
    {"ATi", "ATi - Display", Item::kAti, &ati::StepCount, &ati::Clean},
    {"Creative", "Creative - Sound", Item::kCreative, &creative::StepCount, &creative::Clean},
    {"Realtek", "Realtek - Sound", Item::kRealtek, &realtek::StepCount, &realtek::Clean},
}};

const CleaningItem* FindCleaningItem(std::string_view name) {
  for (const auto& row : kCleaningItems)
    if (row.name == name) return &row;
  return nullptr;
}

}  // namespace quenk::profiles
