#pragma once

#include "ui/Form.h"
#include "ui/Peers.h"
#include "ui/win32/GdiHandles.h"

#include <windows.h>

namespace quenk::ui::win32 {

class Win32Backend;

// The top-level window of one form and the child windows of its controls.
// Window messages become model events here; nothing else touches an HWND.
class Win32FormWindow final : public FormPeer {
 public:
  Win32FormWindow(Win32Backend& backend, Form& form);
  ~Win32FormWindow() override;
  Win32FormWindow(const Win32FormWindow&) = delete;
  Win32FormWindow& operator=(const Win32FormWindow&) = delete;

  std::uintptr_t Handle() const override { return reinterpret_cast<std::uintptr_t>(hwnd_); }
  void Show() override;
  void Hide() override { ::ShowWindow(hwnd_, SW_HIDE); }
  void BringToFront() override;
  void Minimize() override { ::ShowWindow(hwnd_, SW_MINIMIZE); }
  void Restore() override;
  void RestoreFocus() override;

  // The form window of `hwnd`, which must be one of the backend's forms.
  static Win32FormWindow* FromHandle(HWND hwnd) {
    return reinterpret_cast<Win32FormWindow*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  }
  void EscapePressed();

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
  void OnCommand(WPARAM wp, LPARAM lp);
  void BuildMenu();
  void Resize();
  void FocusFirstControl();

  Win32Backend& backend_;
  Form& form_;
  HWND hwnd_ = nullptr;
  DWORD style_ = 0;
  DWORD exStyle_ = 0;
  UINT dpi_ = 96;
  UniqueFont font_;
  HWND lastFocus_ = nullptr;
  bool shownOnce_ = false;
};

}  // namespace quenk::ui::win32
