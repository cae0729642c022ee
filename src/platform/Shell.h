#pragma once

#include <cstdint>
#include <string>

namespace quenk::platform {

// What identifies a notification-area icon towards the shell.
struct NotifyIcon {
  std::uintptr_t owner = 0;  // window that receives the callback message
  std::uint32_t id = 1;
  std::uint32_t callbackMessage = 0;
  std::string tip;  // at most 127 characters reach the shell
};

// The shell's notification area. The icon image is the program's "MAINICON".
class Shell {
 public:
  virtual ~Shell() = default;
  virtual bool AddIcon(const NotifyIcon& icon) = 0;
  virtual bool DeleteIcon(const NotifyIcon& icon) = 0;
};

}  // namespace quenk::platform
