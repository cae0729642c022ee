#include "ui/win32/Win32Backend.h"

#include "ui/Application.h"
#include "ui/Menu.h"
#include "ui/win32/DisabledWindows.h"
#include "ui/win32/Dpi.h"
#include "ui/win32/Win32FormWindow.h"

#include <commctrl.h>

namespace quenk::ui::win32 {
namespace {

bool IsPushButton(HWND hwnd) {
  char cls[16] = {};
  if (!hwnd || !::GetClassNameA(hwnd, cls, sizeof cls) || lstrcmpiA(cls, "BUTTON") != 0)
    return false;
  const LONG_PTR type = ::GetWindowLongPtrA(hwnd, GWL_STYLE) & BS_TYPEMASK;
  return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

}  // namespace

Win32Backend::Win32Backend() {
  EnsureDpiAwareness();
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
  ::InitCommonControlsEx(&icc);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  ::GetStartupInfoA(&si);
  if (si.dwFlags & STARTF_USESHOWWINDOW) {
    switch (si.wShowWindow) {
      case SW_MINIMIZE:
      case SW_SHOWMINIMIZED:
      case SW_SHOWMINNOACTIVE:
      case SW_FORCEMINIMIZE:
        startMinimized_ = true;
        break;
      default:
        break;
    }
  }
}

std::unique_ptr<FormPeer> Win32Backend::CreateFormPeer(Form& form) {
  return std::make_unique<Win32FormWindow>(*this, form);
}

void Win32Backend::SetShortcuts(HWND target, UniqueAccel table) {
  shortcutTarget_ = target;
  shortcuts_ = std::move(table);
}

void Win32Backend::FormWindowDestroyed(HWND hwnd) {
  forms_.erase(hwnd);
  if (hwnd == shortcutTarget_) {
    shortcutTarget_ = nullptr;
    shortcuts_.Reset();
  }
}

bool Win32Backend::PreTranslate(MSG& msg) {
  const HWND root = ::GetAncestor(msg.hwnd, GA_ROOT);
  if (!root || !forms_.count(root)) return false;
  if (shortcuts_.Get() && shortcutTarget_ && ::IsWindowEnabled(shortcutTarget_) &&
      ::TranslateAcceleratorA(shortcutTarget_, shortcuts_.Get(), &msg))
    return true;
  // Escape goes to the form, whatever control has the focus. Taken out
  // here, before a multi-line edit under dialog navigation turns it into
  // WM_CLOSE for its window, which the main window would take as its end.
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
    if (Win32FormWindow* window = Win32FormWindow::FromHandle(root)) window->EscapePressed();
    return true;
  }
  // Enter presses the focused push button and nothing else: no window has a
  // default button.
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN) {
    const HWND focus = ::GetFocus();
    if (IsPushButton(focus) && forms_.count(::GetAncestor(focus, GA_ROOT))) {
      ::SendMessageA(focus, BM_CLICK, 0, 0);
      return true;
    }
  }
  return ::IsDialogMessageA(root, &msg);
}

void Win32Backend::RunLoop() {
  // Runs until WM_QUIT is taken out of the queue: a quit message left there
  // would end the error report's message box at exit before anyone saw it.
  MSG msg;
  while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (!PreTranslate(msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
  }
}

void Win32Backend::ProcessMessages() {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    if (!PreTranslate(msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
  }
}

void Win32Backend::ProcessPaint() {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) ::DispatchMessageA(&msg);
}

void Win32Backend::SetBusy(bool busy) {
  ::SetCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(busy ? IDC_WAIT : IDC_ARROW)));
}

// The report holds the whole program until it is answered: the box disables
// its owner, the window the user was in, and every other window is disabled
// here, so no click, shortcut or tray menu reaches a handler meanwhile.
void Win32Backend::ShowError(const std::string& caption, const std::string& text) {
  const HWND active = ::GetActiveWindow();
  const HWND owner = forms_.count(active) ? active : nullptr;
  const DisabledWindows others(forms_, owner);
  ::MessageBoxA(owner, text.c_str(), caption.c_str(),
                MB_OK | MB_ICONERROR | (owner ? 0u : static_cast<UINT>(MB_TASKMODAL)));
}

bool Win32Backend::Ask(const std::string& caption, const std::string& text) {
  const HWND active = ::GetActiveWindow();
  const HWND owner = forms_.count(active) ? active : nullptr;
  const DisabledWindows others(forms_, owner);
  return ::MessageBoxA(owner, text.c_str(), caption.c_str(),
                       MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2 |
                           (owner ? 0u : static_cast<UINT>(MB_TASKMODAL))) == IDYES;
}

void Win32Backend::SetForeground(Form& form) {
  ::SetForegroundWindow(reinterpret_cast<HWND>(form.Handle()));
}

int Win32Backend::TrackPopup(Form& owner, const PopupMenu& menu, int x, int y) {
  const HWND hwnd = reinterpret_cast<HWND>(owner.Handle());
  UniqueMenu popup(::CreatePopupMenu());
  for (const MenuItem* item : menu.Items())
    ::AppendMenuA(popup.Get(), MF_STRING, static_cast<UINT_PTR>(item->Id()),
                  item->Caption().c_str());
  const int chosen = static_cast<int>(::TrackPopupMenuEx(
      popup.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, x, y, hwnd, nullptr));
  // Lets the menu close properly when the user clicks elsewhere next time.
  ::PostMessageA(hwnd, WM_NULL, 0, 0);
  return chosen;
}

}  // namespace quenk::ui::win32
