#pragma once

#include <windows.h>

#include <set>
#include <vector>

namespace quenk::ui::win32 {

// Disables, for its lifetime, those of the windows that are enabled, and
// enables exactly those again at its end.
class DisabledWindows {
 public:
  DisabledWindows(const std::set<HWND>& windows, HWND except);
  ~DisabledWindows();
  DisabledWindows(const DisabledWindows&) = delete;
  DisabledWindows& operator=(const DisabledWindows&) = delete;

 private:
  std::vector<HWND> disabled_;
};

}  // namespace quenk::ui::win32
