#pragma once

#include "platform/Locale.h"
#include "platform/sim/Latin1.h"

namespace quenk::sim {

// Regional settings and a clock that a test sets.
class SimLocale final : public platform::Locale {
 public:
  platform::RegionalSettings Regional() override { return regional; }
  platform::LocalTime Now() override { return now; }
  // The simulated clock moves on by whole seconds, at least one.
  void Sleep(std::uint32_t milliseconds) override {
    int carry = static_cast<int>((milliseconds + 999) / 1000);
    if (carry == 0) carry = 1;
    now.second += carry;
    now.minute += now.second / 60;
    now.second %= 60;
    now.hour += now.minute / 60;
    now.minute %= 60;
    now.day += now.hour / 24;
    now.hour %= 24;
  }

  std::string MachineName() override { return machineName; }
  // The simulated code page is Latin-1, as the simulated volume spells names.
  std::string AnsiToUtf8(const std::string& ansi) override { return Latin1ToUtf8(ansi); }
  platform::CodePage AnsiCodePage() override { return platform::Latin1CodePage(); }

  platform::RegionalSettings regional;
  std::string machineName = "SIMULATED-PC";
  platform::LocalTime now{2026, 12, 7, 1, 15, 40, 57};
};

}  // namespace quenk::sim
