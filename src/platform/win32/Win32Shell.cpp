#include "platform/win32/Win32Shell.h"

#include <windows.h>
#include <shellapi.h>

#include <cstring>

namespace quenk::win32 {
namespace {

NOTIFYICONDATAA Data(const platform::NotifyIcon& icon) {
  NOTIFYICONDATAA d{};
  d.cbSize = sizeof d;
  d.hWnd = reinterpret_cast<HWND>(icon.owner);
  d.uID = icon.id;
  return d;
}

}  // namespace

bool Win32Shell::AddIcon(const platform::NotifyIcon& icon) {
  NOTIFYICONDATAA d = Data(icon);
  d.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
  d.uCallbackMessage = icon.callbackMessage;
  d.hIcon = static_cast<HICON>(::LoadImageA(::GetModuleHandleA(nullptr), "MAINICON", IMAGE_ICON,
                                            ::GetSystemMetrics(SM_CXSMICON),
                                            ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  std::strncpy(d.szTip, icon.tip.c_str(), sizeof d.szTip - 1);
  return ::Shell_NotifyIconA(NIM_ADD, &d) != FALSE;
}

bool Win32Shell::DeleteIcon(const platform::NotifyIcon& icon) {
  NOTIFYICONDATAA d = Data(icon);
  return ::Shell_NotifyIconA(NIM_DELETE, &d) != FALSE;
}

}  // namespace quenk::win32
