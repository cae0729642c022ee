#pragma once

#include "ui/Geometry.h"
#include "ui/Peers.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quenk::ui {

class Container;
class Form;

enum class ControlKind { kLabel, kButton, kCheckBox, kListBox, kMemo, kProgressBar, kFrame };

// A control of the widget model: its state lives here in plain C++; a peer,
// when a backend is attached, mirrors it to a real window.
class Control {
 public:
  // Controls without a place in the tab order pass kNoTabStop.
  static constexpr int kNoTabStop = -1;

  Control(Container& parent, ControlKind kind, int id, std::string name, Rect bounds,
          std::string caption = {}, int tabOrder = kNoTabStop);
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  ControlKind Kind() const { return kind_; }
  int Id() const { return id_; }
  const std::string& Name() const { return name_; }
  const Rect& Bounds() const { return bounds_; }
  Container& Parent() const { return parent_; }
  Form& OwnerForm() const;
  int TabOrder() const { return tabOrder_; }

  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }

  // A disabled control takes no input; its handlers still run when called.
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);

  void SetFocus();

  // A program's own click, exactly like a user's but without the error
  // report in between: what the handler raises reaches the caller.
  void Click() {
    if (onClick) onClick();
  }
  void DblClick() {
    if (onDblClick) onDblClick();
  }

  std::function<void()> onClick;
  std::function<void()> onDblClick;

  void AttachPeer(std::unique_ptr<ControlPeer> peer);
  void DetachPeer() { peer_.reset(); }
  ControlPeer* Peer() const { return peer_.get(); }

 protected:
  // Pushes the whole model state to a newly attached peer.
  virtual void SyncPeer() {}

 private:
  Container& parent_;
  ControlKind kind_;
  int id_;
  std::string name_;
  Rect bounds_;
  std::string caption_;
  int tabOrder_;
  bool visible_ = true;
  bool enabled_ = true;
  std::unique_ptr<ControlPeer> peer_;
};

// Something that holds controls: a form or a frame.
class Container {
 public:
  virtual ~Container() = default;
  virtual Form& OwnerForm() = 0;
  const std::vector<Control*>& Controls() const { return controls_; }
  Control* FindById(int id) const;
  // Controls in tab order first (by their order), then the rest as declared.
  std::vector<Control*> ControlsInTabOrder() const;

 private:
  friend class Control;
  std::vector<Control*> controls_;
};

}  // namespace quenk::ui
