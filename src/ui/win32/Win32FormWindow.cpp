#include "ui/win32/Win32FormWindow.h"

#include "ControlIds.h"
#include "ui/Application.h"
#include "ui/Controls.h"
#include "ui/ListBox.h"
#include "ui/Menu.h"
#include "ui/TrayIcon.h"
#include "ui/win32/Dpi.h"
#include "ui/win32/Win32Backend.h"
#include "ui/win32/Win32ControlPeers.h"

#include <vector>

namespace quenk::ui::win32 {
namespace {

HINSTANCE Instance() {
  return ::GetModuleHandleA(nullptr);
}

void RegisterFormClass(const std::string& className, WNDPROC proc) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  if (::GetClassInfoExA(Instance(), className.c_str(), &wc)) return;
  wc.lpfnWndProc = proc;
  wc.hInstance = Instance();
  wc.hIcon = static_cast<HICON>(::LoadImageA(Instance(), QUENK_ICON_NAME, IMAGE_ICON,
                                             ::GetSystemMetrics(SM_CXICON),
                                             ::GetSystemMetrics(SM_CYICON), LR_SHARED));
  wc.hIconSm = static_cast<HICON>(::LoadImageA(Instance(), QUENK_ICON_NAME, IMAGE_ICON,
                                               ::GetSystemMetrics(SM_CXSMICON),
                                               ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = className.c_str();
  ::RegisterClassExA(&wc);
}

HFONT MakeFont(UINT dpi) {
  return ::CreateFontA(-::MulDiv(8, static_cast<int>(dpi), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                       FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Tahoma");
}

UINT TaskbarCreatedMessage() {
  static const UINT message = ::RegisterWindowMessageA("TaskbarCreated");
  return message;
}

}  // namespace

Win32FormWindow::Win32FormWindow(Win32Backend& backend, Form& form)
    : backend_(backend), form_(form) {
  const FormStyle& style = form.Style();
  RegisterFormClass(style.className, &Win32FormWindow::Proc);
  style_ = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN |
           (style.minimizeBox ? WS_MINIMIZEBOX : 0) | (style.maximizeBox ? WS_MAXIMIZEBOX : 0);
  exStyle_ = WS_EX_CONTROLPARENT;
  // Owned windows stay above the main window, have no taskbar button of
  // their own and go and come back with it.
  HWND owner = nullptr;
  if (!form.IsMainForm() && form.App().MainForm())
    owner = reinterpret_cast<HWND>(form.App().MainForm()->Handle());
  hwnd_ = ::CreateWindowExA(exStyle_, style.className.c_str(), style.caption.c_str(), style_,
                            CW_USEDEFAULT, CW_USEDEFAULT, style.clientWidth, style.clientHeight,
                            owner, nullptr, Instance(), this);
  if (!hwnd_) return;
  backend_.FormWindowCreated(hwnd_);
  dpi_ = DpiOf(hwnd_);
  font_.Reset(MakeFont(dpi_));
  BuildMenu();
  Resize();
  for (Control* control : form.ControlsInTabOrder())
    control->AttachPeer(CreateControlPeer(*control, hwnd_, font_.Get(), dpi_));
}

Win32FormWindow::~Win32FormWindow() {
  if (!hwnd_) return;
  backend_.FormWindowDestroyed(hwnd_);
  std::vector<Control*> pending(form_.Controls().begin(), form_.Controls().end());
  while (!pending.empty()) {
    Control* c = pending.back();
    pending.pop_back();
    if (auto* inner = dynamic_cast<Container*>(c))
      pending.insert(pending.end(), inner->Controls().begin(), inner->Controls().end());
    c->DetachPeer();
  }
  ::SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
  ::DestroyWindow(hwnd_);
}

void Win32FormWindow::BuildMenu() {
  const MainMenu* menu = form_.Menu();
  if (!menu) return;
  UniqueMenu bar(::CreateMenu());
  std::vector<ACCEL> keys;
  for (const auto& m : menu->Menus()) {
    UniqueMenu popup(::CreatePopupMenu());
    for (const MenuItem* item : m.items) {
      std::string text = item->Caption();
      if (!item->Keys().Empty()) {
        text.append(1, '\t').append(item->Keys().Text());
        keys.push_back({static_cast<BYTE>(FVIRTKEY | (item->Keys().ctrl ? FCONTROL : 0)),
                        static_cast<WORD>(item->Keys().key), static_cast<WORD>(item->Id())});
      }
      ::AppendMenuA(popup.Get(), MF_STRING, static_cast<UINT_PTR>(item->Id()), text.c_str());
    }
    ::AppendMenuA(bar.Get(), MF_POPUP, reinterpret_cast<UINT_PTR>(popup.Release()),
                  m.caption.c_str());
  }
  ::SetMenu(hwnd_, bar.Release());  // the window owns it from here on
  if (!keys.empty())
    backend_.SetShortcuts(
        hwnd_, UniqueAccel(::CreateAcceleratorTableA(keys.data(), static_cast<int>(keys.size()))));
}

// Sizes the window so that its client area is the form's, at the window's dpi.
void Win32FormWindow::Resize() {
  const int width = Scale(form_.Style().clientWidth, dpi_);
  const int height = Scale(form_.Style().clientHeight, dpi_);
  RECT r{0, 0, width, height};
  AdjustForDpi(r, style_, exStyle_, ::GetMenu(hwnd_) != nullptr, dpi_);
  ::SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // A menu bar that wraps makes the frame taller than computed; correct once.
  RECT client;
  ::GetClientRect(hwnd_, &client);
  const int dw = width - client.right, dh = height - client.bottom;
  if (dw || dh) {
    RECT w;
    ::GetWindowRect(hwnd_, &w);
    ::SetWindowPos(hwnd_, nullptr, 0, 0, w.right - w.left + dw, w.bottom - w.top + dh,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void Win32FormWindow::Show() {
  int command = SW_SHOW;
  if (!shownOnce_ && form_.IsMainForm() && backend_.StartMinimized()) command = SW_SHOWMINNOACTIVE;
  ::ShowWindow(hwnd_, command);
  if (!shownOnce_ && command == SW_SHOW) FocusFirstControl();
  shownOnce_ = true;
}

void Win32FormWindow::BringToFront() {
  if (!::IsWindowVisible(hwnd_) || ::IsIconic(hwnd_)) return;
  ::SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  ::SetForegroundWindow(hwnd_);
}

void Win32FormWindow::Restore() {
  ::ShowWindow(hwnd_, SW_RESTORE);
  ::SetForegroundWindow(hwnd_);
}

void Win32FormWindow::RestoreFocus() {
  if (lastFocus_ && ::IsWindow(lastFocus_) && ::IsWindowVisible(lastFocus_))
    ::SetFocus(lastFocus_);
  else
    FocusFirstControl();
}

void Win32FormWindow::EscapePressed() {
  form_.App().Guard([this] { form_.Escape(); });
}

void Win32FormWindow::FocusFirstControl() {
  if (HWND first = ::GetNextDlgTabItem(hwnd_, nullptr, FALSE)) ::SetFocus(first);
}

LRESULT CALLBACK Win32FormWindow::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* self =
        static_cast<Win32FormWindow*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
    self->hwnd_ = hwnd;
    ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Win32FormWindow*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  return self ? self->OnMessage(msg, wp, lp) : ::DefWindowProcA(hwnd, msg, wp, lp);
}

LRESULT Win32FormWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  Application& app = form_.App();
  const bool main = form_.IsMainForm();
  switch (msg) {
    case WM_COMMAND:
      OnCommand(wp, lp);
      return 0;
    case WM_CLOSE:
      app.Guard([this] { form_.Close(); });
      return 0;
    case WM_SYSCOMMAND:
      if (main && (wp & 0xFFF0) == SC_MINIMIZE) {
        app.Guard([&app] { app.Minimize(); });
        return 0;
      }
      if (main && (wp & 0xFFF0) == SC_RESTORE && app.Minimized()) {
        app.Guard([&app] { app.Restore(); });
        return 0;
      }
      break;
    case WM_SIZE:
      if (main && wp == SIZE_MINIMIZED && !app.Minimized()) app.Guard([&app] { app.Minimize(); });
      if (main && wp == SIZE_RESTORED && app.Minimized()) app.Guard([&app] { app.Restore(); });
      break;
    case WM_ACTIVATE:
      if (LOWORD(wp) == WA_INACTIVE) {
        const HWND focus = ::GetFocus();
        if (focus && ::IsChild(hwnd_, focus)) lastFocus_ = focus;
      } else if (!HIWORD(wp)) {
        RestoreFocus();
        if (::IsChild(hwnd_, ::GetFocus())) return 0;
      }
      break;
    case WM_NEXTDLGCTL: {
      // Tab and Shift+Tab, as IsDialogMessage asks of a dialog.
      const HWND next = LOWORD(lp) ? reinterpret_cast<HWND>(wp)
                                   : ::GetNextDlgTabItem(hwnd_, ::GetFocus(), wp != 0);
      if (next) ::SetFocus(next);
      return 0;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      const HDC dc = reinterpret_cast<HDC>(wp);
      ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
      ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
      return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_DPICHANGED: {
      dpi_ = HIWORD(wp);
      font_.Reset(MakeFont(dpi_));
      const RECT* r = reinterpret_cast<const RECT*>(lp);
      ::SetWindowPos(hwnd_, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
      LayoutControls(form_, font_.Get(), dpi_);
      Resize();
      return 0;
    }
    case QUENK_WM_TRAY:
      // Disabled, the window waits for an answer to the error report; so does the tray.
      if (!::IsWindowEnabled(hwnd_)) return 0;
      if (TrayIcon* tray = form_.Tray()) {
        POINT p{};
        ::GetCursorPos(&p);
        const auto mouse = static_cast<std::uint32_t>(LOWORD(lp));
        app.Guard([tray, mouse, p] { tray->MouseMessage(mouse, p.x, p.y); });
      }
      return 0;
    case WM_ENDSESSION:
      if (wp && form_.Tray()) form_.Tray()->Remove();
      return 0;
    default:
      if (msg == TaskbarCreatedMessage() && form_.Tray()) {
        app.Guard([this] { form_.Tray()->TaskbarCreated(); });
        return 0;
      }
      break;
  }
  return ::DefWindowProcA(hwnd_, msg, wp, lp);
}

void Win32FormWindow::OnCommand(WPARAM wp, LPARAM lp) {
  Application& app = form_.App();
  const int id = LOWORD(wp);
  const int code = HIWORD(wp);
  if (lp == 0) {  // a menu entry or a shortcut
    if (const MainMenu* menu = form_.Menu()) {
      if (MenuItem* item = menu->FindById(id)) app.Guard([item] { item->Click(); });
    }
    return;
  }
  Control* control = form_.FindById(id);
  if (!control) return;
  const HWND child = reinterpret_cast<HWND>(lp);
  switch (control->Kind()) {
    case ControlKind::kButton:
      if (code == BN_CLICKED) app.Guard([control] { control->Click(); });
      break;
    case ControlKind::kCheckBox:
      if (code == BN_CLICKED) {
        auto* box = static_cast<CheckBox*>(control);
        box->UserToggled(::SendMessageA(child, BM_GETCHECK, 0, 0) == BST_CHECKED);
        app.Guard([box] { box->Click(); });
      }
      break;
    case ControlKind::kListBox: {
      auto* list = static_cast<ListBox*>(control);
      if (code == LBN_SELCHANGE || code == LBN_DBLCLK) {
        list->UserSelected(static_cast<int>(::SendMessageA(child, LB_GETCURSEL, 0, 0)));
        if (code == LBN_SELCHANGE)
          app.Guard([list] { list->Click(); });
        else
          app.Guard([list] { list->DblClick(); });
      }
      break;
    }
    default:
      break;
  }
}

}  // namespace quenk::ui::win32
