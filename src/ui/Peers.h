#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quenk::ui {

// What a backend implements to mirror the widget model on a real window
// system. The model calls these after its own state has changed; a peer
// never calls back into the model except through the backend's event
// delivery.
class ControlPeer {
 public:
  virtual ~ControlPeer() = default;
  virtual std::uintptr_t Handle() const = 0;
  virtual void SetVisible(bool visible) = 0;
  virtual void SetEnabled(bool enabled) = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  virtual void Focus() = 0;
};

class ListBoxPeer : public ControlPeer {
 public:
  virtual void Insert(std::size_t index, const std::string& text) = 0;
  virtual void Remove(std::size_t index) = 0;
  virtual void Reset(const std::vector<std::string>& items) = 0;
  virtual void Select(int index) = 0;
};

class CheckBoxPeer : public ControlPeer {
 public:
  virtual void SetChecked(bool checked) = 0;
};

class ProgressBarPeer : public ControlPeer {
 public:
  virtual void SetRange(int min, int max) = 0;
  virtual void SetPosition(int position) = 0;
};

class FormPeer {
 public:
  virtual ~FormPeer() = default;
  virtual std::uintptr_t Handle() const = 0;
  virtual void Show() = 0;
  virtual void Hide() = 0;
  virtual void BringToFront() = 0;
  virtual void Minimize() = 0;
  virtual void Restore() = 0;
  virtual void RestoreFocus() = 0;
};

}  // namespace quenk::ui
