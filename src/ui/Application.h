#pragma once

#include "ui/Backend.h"
#include "ui/Form.h"

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quenk::ui {

class Application;

// Receives the application-wide minimise notification.
class ApplicationEvents {
 public:
  explicit ApplicationEvents(Application& app);
  ~ApplicationEvents();
  ApplicationEvents(const ApplicationEvents&) = delete;
  ApplicationEvents& operator=(const ApplicationEvents&) = delete;

  std::function<void()> onMinimize;

 private:
  Application& app_;
};

// The one application object: its forms in creation order (the first is the
// main form), the message loop, application-wide minimise and restore, and
// the error report for whatever a handler raises.
class Application {
 public:
  explicit Application(Backend* backend = nullptr) : backend_(backend) {}
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  void SetTitle(std::string title) { title_ = std::move(title); }
  const std::string& Title() const { return title_; }
  Backend* GetBackend() const { return backend_; }

  // Constructs a form, gives it its windows, then runs its FormCreate.
  template <class T, class... Args>
  T& CreateForm(Args&&... args) {
    auto form = std::make_unique<T>(*this, std::forward<Args>(args)...);
    T& ref = *form;
    forms_.push_back(std::move(form));
    if (backend_) ref.Realize(*backend_);
    Guard([&ref] { ref.FormCreate(); });
    return ref;
  }
  Form* MainForm() const { return forms_.empty() ? nullptr : forms_.front().get(); }
  const std::vector<std::unique_ptr<Form>>& Forms() const { return forms_; }

  // Shows the main form, runs the message loop until Terminate, then
  // destroys the forms. Headless, the loop is the caller's: Start, drive the
  // handlers, Shutdown.
  void Run();
  void Start();
  void Shutdown();

  void Terminate();
  bool Terminated() const { return terminated_; }

  void Minimize();
  void Restore();
  bool Minimized() const { return minimized_; }

  void ProcessMessages();
  void ProcessPaint();
  void SetBusy(bool busy);
  void BringToForeground();

  // Runs one event's handler; what it raises becomes the error report.
  void Guard(const std::function<void()>& handler) noexcept;
  void ShowException(const std::exception& error) noexcept;
  // The error report's text for a message.
  static std::string ReportText(std::string message);
  // Reports shown so far (headless runs keep them for the tests).
  const std::vector<std::string>& Reports() const { return reports_; }

  // Asks the user; headless, the questions are kept and get `headlessAnswer`.
  bool Ask(const std::string& question);
  const std::vector<std::string>& Questions() const { return questions_; }
  bool headlessAnswer = true;

 private:
  friend class ApplicationEvents;

  Backend* backend_;
  std::string title_;
  std::vector<std::unique_ptr<Form>> forms_;
  std::vector<ApplicationEvents*> events_;
  std::vector<Form*> hiddenByMinimize_;
  std::vector<std::string> reports_;
  std::vector<std::string> questions_;
  bool terminated_ = false;
  bool minimized_ = false;
  bool shutDown_ = false;
};

// The wait cursor for its lifetime.
class BusyCursor {
 public:
  explicit BusyCursor(Application& app) : app_(app) { app_.SetBusy(true); }
  ~BusyCursor() { app_.SetBusy(false); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  Application& app_;
};

}  // namespace quenk::ui
