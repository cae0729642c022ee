#include "ui/win32/DisabledWindows.h"

namespace quenk::ui::win32 {

DisabledWindows::DisabledWindows(const std::set<HWND>& windows, HWND except) {
  for (HWND hwnd : windows) {
    if (hwnd != except && ::IsWindowEnabled(hwnd)) {
      ::EnableWindow(hwnd, FALSE);
      disabled_.push_back(hwnd);
    }
  }
}

DisabledWindows::~DisabledWindows() {
  for (HWND hwnd : disabled_)
    if (::IsWindow(hwnd)) ::EnableWindow(hwnd, TRUE);
}

}  // namespace quenk::ui::win32
