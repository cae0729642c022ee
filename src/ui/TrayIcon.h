#pragma once

#include "platform/Shell.h"

#include <functional>
#include <string>

namespace quenk::ui {

class Form;
class PopupMenu;

// An icon in the shell's notification area, owned by a form. Showing or
// hiding it talks to the shell at once; a refusal is an error.
class TrayIcon {
 public:
  TrayIcon(Form& owner, platform::Shell& shell, std::string hint, PopupMenu& menu);
  ~TrayIcon();
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  bool Visible() const { return visible_; }
  void SetVisible(bool visible);

  // Mouse activity over the icon, as the shell reports it (a mouse message
  // number) with the cursor's screen position.
  void MouseMessage(std::uint32_t message, int x, int y);
  // The taskbar was created again: a visible icon is added anew.
  void TaskbarCreated();
  // The session ends or the owner window goes away: the icon is deleted.
  void Remove();

  static constexpr std::uint32_t kRightButtonUp = 0x0205;    // WM_RBUTTONUP
  static constexpr std::uint32_t kLeftDoubleClick = 0x0203;  // WM_LBUTTONDBLCLK

  std::function<void()> onDblClick;

 private:
  platform::NotifyIcon Data() const;

  Form& owner_;
  platform::Shell& shell_;
  std::string hint_;
  PopupMenu& menu_;
  bool visible_ = false;
};

}  // namespace quenk::ui
