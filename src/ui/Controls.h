#pragma once

#include "ui/Control.h"

#include <vector>

namespace quenk::ui {

enum class Alignment { kLeft, kRight };

class Label final : public Control {
 public:
  Label(Container& parent, int id, std::string name, Rect bounds, std::string caption,
        Alignment alignment = Alignment::kLeft)
      : Control(parent, ControlKind::kLabel, id, std::move(name), bounds, std::move(caption)),
        alignment_(alignment) {}
  Alignment Align() const { return alignment_; }

 private:
  Alignment alignment_;
};

class Button final : public Control {
 public:
  Button(Container& parent, int id, std::string name, Rect bounds, std::string caption,
         int tabOrder)
      : Control(parent, ControlKind::kButton, id, std::move(name), bounds, std::move(caption),
                tabOrder) {}
};

class CheckBox final : public Control {
 public:
  CheckBox(Container& parent, int id, std::string name, Rect bounds, std::string caption,
           int tabOrder)
      : Control(parent, ControlKind::kCheckBox, id, std::move(name), bounds, std::move(caption),
                tabOrder) {}

  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  // The user ticked or cleared the box on screen.
  void UserToggled(bool checked) { checked_ = checked; }

 private:
  void SyncPeer() override;
  bool checked_ = false;
};

// A multi-line text box: wraps long lines, no scroll bars, editable.
class Memo final : public Control {
 public:
  Memo(Container& parent, int id, std::string name, Rect bounds, std::vector<std::string> lines,
       int tabOrder);
  const std::vector<std::string>& Lines() const { return lines_; }
  // The text as the control holds it: lines joined by CR LF.
  static std::string Join(const std::vector<std::string>& lines);

 private:
  std::vector<std::string> lines_;
};

// A horizontal, smooth progress bar.
class ProgressBar final : public Control {
 public:
  ProgressBar(Container& parent, int id, std::string name, Rect bounds)
      : Control(parent, ControlKind::kProgressBar, id, std::move(name), bounds) {}

  int Min() const { return min_; }
  int Max() const { return max_; }
  int Position() const { return position_; }
  int Step() const { return step_; }

  // Keeps the position, brought into the new range.
  void SetMax(int max);
  void SetPosition(int position);
  // Advances by `delta`, stopping at the maximum.
  void StepBy(int delta) { SetPosition(position_ + delta); }
  // Advances by the step size; past the maximum it starts over from the
  // beginning, carrying the excess, as the platform control does.
  void StepIt();

 private:
  void SyncPeer() override;
  ProgressBarPeer* peer() const { return static_cast<ProgressBarPeer*>(Peer()); }
  int min_ = 0;
  int max_ = 100;
  int position_ = 0;
  int step_ = 10;
};

// A panel of controls placed relative to itself.
class Frame : public Control, public Container {
 public:
  Frame(Container& parent, int id, std::string name, std::string className, Rect bounds,
        int tabOrder)
      : Control(parent, ControlKind::kFrame, id, std::move(name), bounds, {}, tabOrder),
        className_(std::move(className)) {}
  Form& OwnerForm() override { return Control::OwnerForm(); }
  const std::string& ClassName() const { return className_; }

 private:
  std::string className_;
};

}  // namespace quenk::ui
