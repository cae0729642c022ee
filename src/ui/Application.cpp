#include "ui/Application.h"

#include "base/ReportText.h"

#include <algorithm>

namespace quenk::ui {

ApplicationEvents::ApplicationEvents(Application& app) : app_(app) {
  app_.events_.push_back(this);
}

ApplicationEvents::~ApplicationEvents() {
  auto& list = app_.events_;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

Application::~Application() {
  Shutdown();
  // Forms hold components that unregister from this object; they go first.
  while (!forms_.empty()) forms_.pop_back();
}

void Application::Run() {
  Start();
  if (backend_) backend_->RunLoop();
  Shutdown();
}

void Application::Start() {
  Form* main = MainForm();
  if (!main) return;
  main->Show();
  // A start from a shortcut set to run minimised goes through the same
  // minimise as a click on the minimise button, so with the tray flag the
  // window waits in the tray and otherwise on the taskbar.
  if (backend_ && backend_->StartMinimized()) Guard([this] { Minimize(); });
  Guard([main] { main->FormStarted(); });
}

void Application::Shutdown() {
  if (shutDown_) return;
  shutDown_ = true;
  for (auto it = forms_.rbegin(); it != forms_.rend(); ++it) {
    Form& form = **it;
    Guard([&form] { form.FormDestroy(); });
    form.Unrealize();
  }
}

void Application::Terminate() {
  terminated_ = true;
  if (backend_) backend_->Quit();
}

void Application::Minimize() {
  if (minimized_) return;
  minimized_ = true;
  hiddenByMinimize_.clear();
  Form* main = MainForm();
  for (const auto& form : forms_) {
    if (form.get() != main && form->Visible()) {
      hiddenByMinimize_.push_back(form.get());
      form->Hide();
    }
  }
  if (main && main->Peer()) main->Peer()->Minimize();
  for (ApplicationEvents* events : std::vector<ApplicationEvents*>(events_))
    if (events->onMinimize) events->onMinimize();
}

void Application::Restore() {
  if (!minimized_) return;
  minimized_ = false;
  Form* main = MainForm();
  if (main) {
    main->Show();
    if (main->Peer()) main->Peer()->Restore();
  }
  for (Form* form : hiddenByMinimize_) form->Show();
  hiddenByMinimize_.clear();
  if (main && main->Peer()) main->Peer()->RestoreFocus();
}

void Application::ProcessMessages() {
  if (backend_) backend_->ProcessMessages();
}

void Application::ProcessPaint() {
  if (backend_) backend_->ProcessPaint();
}

void Application::SetBusy(bool busy) {
  if (backend_) backend_->SetBusy(busy);
}

void Application::BringToForeground() {
  if (backend_ && MainForm()) backend_->SetForeground(*MainForm());
}

void Application::Guard(const std::function<void()>& handler) noexcept {
  try {
    handler();
  } catch (const std::exception& error) {
    ShowException(error);
  } catch (...) {
    ShowException(std::runtime_error("Unknown error"));
  }
}

std::string Application::ReportText(std::string message) {
  return quenk::ReportText(std::move(message));
}

bool Application::Ask(const std::string& question) {
  questions_.push_back(question);
  return backend_ ? backend_->Ask(title_, question) : headlessAnswer;
}

void Application::ShowException(const std::exception& error) noexcept {
  try {
    const std::string text = ReportText(error.what());
    reports_.push_back(text);
    if (backend_) backend_->ShowError(title_, text);
  } catch (...) {
    // Out of memory while reporting: nothing sensible is left to do.
  }
}

}  // namespace quenk::ui
