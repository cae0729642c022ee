#pragma once

#include "platform/Locale.h"

namespace quenk::win32 {

class Win32Locale final : public platform::Locale {
 public:
  platform::RegionalSettings Regional() override;
  platform::LocalTime Now() override;
  void Sleep(std::uint32_t milliseconds) override;
  std::string MachineName() override;
  std::string AnsiToUtf8(const std::string& ansi) override;
  platform::CodePage AnsiCodePage() override;
};

}  // namespace quenk::win32
