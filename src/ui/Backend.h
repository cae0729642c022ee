#pragma once

#include "ui/Peers.h"

#include <memory>
#include <string>

namespace quenk::ui {

class Application;
class Form;
class PopupMenu;

// A window system under the widget model. Without one, forms run headless.
class Backend {
 public:
  virtual ~Backend() = default;
  // Creates the form's window and its controls' windows and attaches their peers.
  virtual std::unique_ptr<FormPeer> CreateFormPeer(Form& form) = 0;
  virtual void RunLoop() = 0;
  virtual void Quit() = 0;
  virtual void ProcessMessages() = 0;
  // Repaints what waits to be repainted, and nothing else: no input, no command.
  virtual void ProcessPaint() = 0;
  // The wait cursor over the program's windows while `busy`.
  virtual void SetBusy(bool busy) = 0;
  virtual void ShowError(const std::string& caption, const std::string& text) = 0;
  // A question answered Yes or No; true for Yes.
  virtual bool Ask(const std::string& caption, const std::string& text) = 0;
  virtual void SetForeground(Form& form) = 0;
  // The chosen entry's id, or 0.
  virtual int TrackPopup(Form& owner, const PopupMenu& menu, int x, int y) = 0;
  // Whether the program was started with a minimised show command.
  virtual bool StartMinimized() = 0;
};

}  // namespace quenk::ui
