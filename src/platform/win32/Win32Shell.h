#pragma once

#include "platform/Shell.h"

namespace quenk::win32 {

class Win32Shell final : public platform::Shell {
 public:
  bool AddIcon(const platform::NotifyIcon& icon) override;
  bool DeleteIcon(const platform::NotifyIcon& icon) override;
};

}  // namespace quenk::win32
