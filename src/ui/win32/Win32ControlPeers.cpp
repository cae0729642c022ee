#include "ui/win32/Win32ControlPeers.h"

#include "ui/Controls.h"
#include "ui/Layout.h"
#include "ui/ListBox.h"
#include "ui/win32/Dpi.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

namespace quenk::ui::win32 {
namespace {

// The shared part: one child window, shown, hidden, captioned and focused.
template <class Base>
class WindowPeer : public Base {
 public:
  explicit WindowPeer(HWND hwnd) : hwnd_(hwnd) {}
  ~WindowPeer() override = default;  // the parent's destruction destroys the window

  void SetVisible(bool visible) override { ::ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE); }
  void SetEnabled(bool enabled) override { ::EnableWindow(hwnd_, enabled ? TRUE : FALSE); }
  void SetCaption(const std::string& caption) override { ::SetWindowTextA(hwnd_, caption.c_str()); }
  void Focus() override { ::SetFocus(hwnd_); }
  std::uintptr_t Handle() const override { return reinterpret_cast<std::uintptr_t>(hwnd_); }

 protected:
  HWND hwnd_;
};

class PlainPeer final : public WindowPeer<ControlPeer> {
 public:
  using WindowPeer::WindowPeer;
};

int TextWidth(HWND hwnd, HFONT font, const std::string& text);

class ListBoxWindowPeer final : public WindowPeer<ListBoxPeer> {
 public:
  ListBoxWindowPeer(HWND hwnd, bool horizontalScroll)
      : WindowPeer(hwnd), horizontalScroll_(horizontalScroll) {}

  void Insert(std::size_t index, const std::string& text) override {
    ::SendMessageA(hwnd_, LB_INSERTSTRING, index, reinterpret_cast<LPARAM>(text.c_str()));
    Widen({text});
  }
  void Remove(std::size_t index) override { ::SendMessageA(hwnd_, LB_DELETESTRING, index, 0); }
  void Reset(const std::vector<std::string>& items) override {
    ::SendMessageA(hwnd_, WM_SETREDRAW, FALSE, 0);
    ::SendMessageA(hwnd_, LB_RESETCONTENT, 0, 0);
    std::size_t bytes = 0;
    for (const auto& item : items) bytes += item.size() + 1;
    ::SendMessageA(hwnd_, LB_INITSTORAGE, items.size(), static_cast<LPARAM>(bytes));
    for (const auto& item : items)
      ::SendMessageA(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    extent_ = 0;
    Widen(items);
    ::SendMessageA(hwnd_, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(hwnd_, nullptr, TRUE);
  }
  void Select(int index) override { ::SendMessageA(hwnd_, LB_SETCURSEL, index, 0); }

 private:
  // Lets the box scroll sideways as far as its widest line.
  void Widen(const std::vector<std::string>& lines) {
    if (!horizontalScroll_) return;
    const auto font = reinterpret_cast<HFONT>(::SendMessageA(hwnd_, WM_GETFONT, 0, 0));
    int widest = extent_;
    for (const auto& line : lines) widest = std::max(widest, TextWidth(hwnd_, font, line) + 8);
    if (widest == extent_) return;
    extent_ = widest;
    ::SendMessageA(hwnd_, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(extent_), 0);
  }

  bool horizontalScroll_;
  int extent_ = 0;
};

class CheckBoxWindowPeer final : public WindowPeer<CheckBoxPeer> {
 public:
  using WindowPeer::WindowPeer;
  void SetChecked(bool checked) override {
    ::SendMessageA(hwnd_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  }
};

class ProgressBarWindowPeer final : public WindowPeer<ProgressBarPeer> {
 public:
  using WindowPeer::WindowPeer;
  void SetRange(int min, int max) override { ::SendMessageA(hwnd_, PBM_SETRANGE32, min, max); }
  void SetPosition(int position) override {
    ::SendMessageA(hwnd_, PBM_SETPOS, position, 0);
    // A run processes no messages; the bar is the one thing that repaints.
    ::UpdateWindow(hwnd_);
  }
};

LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return ::SendMessageA(::GetAncestor(hwnd, GA_ROOT), msg, wp, lp);
    default:
      return ::DefWindowProcA(hwnd, msg, wp, lp);
  }
}

struct WindowSpec {
  const char* className;
  DWORD style;
  DWORD exStyle;
};

WindowSpec SpecFor(const Control& control) {
  const DWORD tab = control.TabOrder() != Control::kNoTabStop ? WS_TABSTOP : 0;
  switch (control.Kind()) {
    case ControlKind::kLabel: {
      const auto& label = static_cast<const Label&>(control);
      return {"STATIC",
              static_cast<DWORD>(label.Align() == Alignment::kRight ? SS_RIGHT : SS_LEFTNOWORDWRAP),
              0};
    }
    case ControlKind::kButton:
      return {"BUTTON", BS_PUSHBUTTON | tab, 0};
    case ControlKind::kCheckBox:
      return {"BUTTON", BS_AUTOCHECKBOX | tab, 0};
    case ControlKind::kListBox: {
      const bool wide = static_cast<const ListBox&>(control).HorizontalScroll();
      return {"LISTBOX",
              LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS | WS_VSCROLL | tab |
                  (wide ? static_cast<DWORD>(WS_HSCROLL) : 0u),
              WS_EX_CLIENTEDGE};
    }
    case ControlKind::kMemo:
      return {"EDIT", ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | tab, WS_EX_CLIENTEDGE};
    case ControlKind::kProgressBar:
      return {PROGRESS_CLASSA, PBS_SMOOTH, 0};
    case ControlKind::kFrame:
      return {static_cast<const Frame&>(control).ClassName().c_str(), WS_CLIPSIBLINGS,
              WS_EX_CONTROLPARENT};
  }
  return {"STATIC", 0, 0};
}

int TextWidth(HWND hwnd, HFONT font, const std::string& text) {
  HDC dc = ::GetDC(hwnd);
  const HGDIOBJ old = ::SelectObject(dc, font);
  SIZE size{};
  ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  ::SelectObject(dc, old);
  ::ReleaseDC(hwnd, dc);
  return size.cx;
}

// The check mark and the gap before the caption, at 96 dpi.
constexpr int kCheckBoxGlyph = 20;

// Edges are scaled, not sizes, so that controls that meet at 96 dpi still
// meet. A right-aligned label is as wide as its text and ends where its
// box ends, whatever the font's metrics at this dpi. A check box whose
// caption the font makes wider than its box grows to the right where
// nothing is beside it.
void Place(HWND hwnd, const Control& control, HFONT font, UINT dpi) {
  const Rect& r = control.Bounds();
  int left = Scale(r.left, dpi);
  const int top = Scale(r.top, dpi);
  int right = Scale(r.left + r.width, dpi);
  if (control.Kind() == ControlKind::kLabel &&
      static_cast<const Label&>(control).Align() == Alignment::kRight)
    left = right - TextWidth(hwnd, font, control.Caption());
  if (control.Kind() == ControlKind::kCheckBox && !control.Caption().empty()) {
    const int needed = left + TextWidth(hwnd, font, control.Caption()) + Scale(kCheckBoxGlyph, dpi);
    right = std::max(right, std::min(needed, Scale(r.left + RoomToGrow(control), dpi)));
  }
  ::SetWindowPos(hwnd, nullptr, left, top, right - left, Scale(r.top + r.height, dpi) - top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  ::SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  if (control.Kind() == ControlKind::kListBox) {
    const int height = Scale(static_cast<const ListBox&>(control).ItemHeight(), dpi);
    ::SendMessageA(hwnd, LB_SETITEMHEIGHT, 0, height);
  }
}

}  // namespace

void RegisterFrameClass(const char* className) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  if (::GetClassInfoExA(::GetModuleHandleA(nullptr), className, &wc)) return;
  wc.lpfnWndProc = FrameProc;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = className;
  ::RegisterClassExA(&wc);
}

std::unique_ptr<ControlPeer> CreateControlPeer(Control& control, HWND parent, HFONT font,
                                               UINT dpi) {
  if (control.Kind() == ControlKind::kFrame)
    RegisterFrameClass(static_cast<Frame&>(control).ClassName().c_str());
  const WindowSpec look = SpecFor(control);
  const DWORD style = WS_CHILD | WS_CLIPSIBLINGS | look.style |
                      (control.Visible() ? WS_VISIBLE : 0) | (control.Enabled() ? 0 : WS_DISABLED);
  HWND hwnd =
      ::CreateWindowExA(look.exStyle, look.className, control.Caption().c_str(), style, 0, 0, 0, 0,
                        parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.Id())),
                        ::GetModuleHandleA(nullptr), nullptr);
  if (!hwnd) return nullptr;
  Place(hwnd, control, font, dpi);

  std::unique_ptr<ControlPeer> peer;
  switch (control.Kind()) {
    case ControlKind::kListBox:
      peer = std::make_unique<ListBoxWindowPeer>(
          hwnd, static_cast<const ListBox&>(control).HorizontalScroll());
      break;
    case ControlKind::kCheckBox:
      peer = std::make_unique<CheckBoxWindowPeer>(hwnd);
      break;
    case ControlKind::kProgressBar:
      peer = std::make_unique<ProgressBarWindowPeer>(hwnd);
      break;
    default:
      peer = std::make_unique<PlainPeer>(hwnd);
      break;
  }
  if (auto* container = dynamic_cast<Container*>(&control)) {
    for (Control* child : container->ControlsInTabOrder())
      child->AttachPeer(CreateControlPeer(*child, hwnd, font, dpi));
  }
  return peer;
}

HWND WindowOf(const ControlPeer* peer) {
  return peer ? reinterpret_cast<HWND>(peer->Handle()) : nullptr;
}

void LayoutControls(const Container& container, HFONT font, UINT dpi) {
  for (Control* control : container.Controls()) {
    if (HWND hwnd = WindowOf(control->Peer())) Place(hwnd, *control, font, dpi);
    if (auto* inner = dynamic_cast<const Container*>(control)) LayoutControls(*inner, font, dpi);
  }
}

}  // namespace quenk::ui::win32
