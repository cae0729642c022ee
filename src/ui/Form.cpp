#include "ui/Form.h"

#include "ui/Application.h"
#include "ui/TrayIcon.h"

namespace quenk::ui {

Form::Form(Application& app, FormStyle style) : app_(app), style_(std::move(style)) {}

Form::~Form() = default;

bool Form::IsMainForm() const {
  return app_.MainForm() == this;
}

void Form::Show() {
  if (!visible_) {
    visible_ = true;
    app_.Guard([this] { FormShow(); });
    if (peer_) peer_->Show();
  }
  if (peer_) peer_->BringToFront();
}

void Form::Hide() {
  if (!visible_) return;
  visible_ = false;
  if (peer_) peer_->Hide();
}

void Form::Close() {
  CloseAction action = CloseAction::kHide;
  app_.Guard([this, &action] { FormClose(action); });
  if (action == CloseAction::kNone) return;
  if (IsMainForm())
    app_.Terminate();
  else
    Hide();
}

void Form::Realize(Backend& backend) {
  peer_ = backend.CreateFormPeer(*this);
}

void Form::Unrealize() {
  if (tray_) tray_->Remove();
  peer_.reset();
}

}  // namespace quenk::ui
