#pragma once

#include "ui/Backend.h"
#include "ui/win32/GdiHandles.h"

#include <windows.h>

#include <set>

namespace quenk::ui::win32 {

// The widget model on real Win32 windows: one top-level window per form,
// standard controls, the message loop with the menu shortcuts working from
// every window of the program, and message boxes for the error report.
class Win32Backend final : public Backend {
 public:
  Win32Backend();

  std::unique_ptr<FormPeer> CreateFormPeer(Form& form) override;
  void RunLoop() override;
  void Quit() override { ::PostQuitMessage(0); }
  void ProcessMessages() override;
  void ProcessPaint() override;
  void SetBusy(bool busy) override;
  void ShowError(const std::string& caption, const std::string& text) override;
  bool Ask(const std::string& caption, const std::string& text) override;
  void SetForeground(Form& form) override;
  int TrackPopup(Form& owner, const PopupMenu& menu, int x, int y) override;
  bool StartMinimized() override { return startMinimized_; }

  // The main window's menu shortcuts; they reach it from every window.
  void SetShortcuts(HWND target, UniqueAccel table);
  void FormWindowCreated(HWND hwnd) { forms_.insert(hwnd); }
  void FormWindowDestroyed(HWND hwnd);

 private:
  bool PreTranslate(MSG& msg);

  HWND shortcutTarget_ = nullptr;
  UniqueAccel shortcuts_;
  std::set<HWND> forms_;
  bool startMinimized_ = false;
};

}  // namespace quenk::ui::win32
