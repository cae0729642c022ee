#pragma once

#include "ui/Control.h"

#include <cstdint>
#include <memory>
#include <string>

namespace quenk::ui {

class Application;
class Backend;
class MainMenu;
class TrayIcon;

struct FormStyle {
  std::string className;  // the window class, named as the form class
  std::string caption;
  int clientWidth = 0;
  int clientHeight = 0;
  bool minimizeBox = false;
  bool maximizeBox = false;
};

enum class CloseAction { kNone, kHide };

// A top-level window of the widget model. Derived forms hold their controls
// as members and override the event handlers they need.
class Form : public Container {
 public:
  Form(Application& app, FormStyle style);
  ~Form() override;

  Application& App() const { return app_; }
  const FormStyle& Style() const { return style_; }
  Form& OwnerForm() override { return *this; }
  bool IsMainForm() const;

  bool Visible() const { return visible_; }
  // Hidden to shown runs FormShow before the window appears; a visible form
  // is brought to the front.
  void Show();
  void Hide();
  // The close operation: FormClose, then the main form ends the program and
  // any other form hides.
  void Close();
  // The Escape key in the window: closes every window but the main one,
  // which has nothing for it to press.
  void Escape() {
    if (!IsMainForm()) Close();
  }

  virtual void FormCreate() {}
  virtual void FormShow() {}
  // The main form, once: its window is on screen and the loop about to run.
  virtual void FormStarted() {}
  virtual void FormClose(CloseAction& /*action*/) {}
  virtual void FormDestroy() {}

  MainMenu* Menu() const { return menu_; }
  void SetMenu(MainMenu* menu) { menu_ = menu; }
  TrayIcon* Tray() const { return tray_; }
  void SetTrayIcon(TrayIcon* tray) { tray_ = tray; }

  // The native window, or 0 without a backend.
  std::uintptr_t Handle() const { return peer_ ? peer_->Handle() : 0; }
  FormPeer* Peer() const { return peer_.get(); }
  void Realize(Backend& backend);
  void Unrealize();

 private:
  Application& app_;
  FormStyle style_;
  bool visible_ = false;
  MainMenu* menu_ = nullptr;
  TrayIcon* tray_ = nullptr;
  std::unique_ptr<FormPeer> peer_;
};

}  // namespace quenk::ui
