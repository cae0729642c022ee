#include "ui/TrayIcon.h"

#include "ControlIds.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/Menu.h"

#include <stdexcept>

namespace quenk::ui {

TrayIcon::TrayIcon(Form& owner, platform::Shell& shell, std::string hint, PopupMenu& menu)
    : owner_(owner), shell_(shell), hint_(std::move(hint)), menu_(menu) {
  if (hint_.size() > 127) hint_.resize(127);
  owner_.SetTrayIcon(this);
}

TrayIcon::~TrayIcon() {
  Remove();
  owner_.SetTrayIcon(nullptr);
}

platform::NotifyIcon TrayIcon::Data() const {
  return {owner_.Handle(), QUENK_TRAY_ID, QUENK_WM_TRAY, hint_};
}

void TrayIcon::SetVisible(bool visible) {
  if (visible == visible_) return;
  if (visible) {
    if (!shell_.AddIcon(Data())) throw std::runtime_error("Cannot create shell notification icon");
  } else {
    if (!shell_.DeleteIcon(Data()))
      throw std::runtime_error("Cannot remove shell notification icon");
  }
  visible_ = visible;
}

void TrayIcon::MouseMessage(std::uint32_t message, int x, int y) {
  if (message == kLeftDoubleClick && onDblClick) onDblClick();
  if (message != kRightButtonUp) return;
  Application& app = owner_.App();
  app.BringToForeground();
  app.ProcessMessages();
  menu_.Popup(x, y);
}

void TrayIcon::TaskbarCreated() {
  if (visible_) shell_.AddIcon(Data());
}

void TrayIcon::Remove() {
  if (visible_) shell_.DeleteIcon(Data());
  visible_ = false;
}

}  // namespace quenk::ui
