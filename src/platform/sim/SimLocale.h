#pragma once

#include "platform/Locale.h"

namespace quenk::sim {

// Regional settings and a clock that a test sets.
class SimLocale final : public platform::Locale {
 public:
  platform::RegionalSettings Regional() override { return regional; }
  platform::LocalTime Now() override { return now; }

  platform::RegionalSettings regional;
  platform::LocalTime now{2026, 12, 7, 1, 15, 40, 57};
};

}  // namespace quenk::sim
