#pragma once

#include <cstddef>

namespace quenk {

// The five cleaning items, in the order of the vendor word table.
enum class Item { kNvidiaDisplay, kNvidiaChipset, kAti, kCreative, kRealtek };
inline constexpr std::size_t kItemCount = 5;

}  // namespace quenk
