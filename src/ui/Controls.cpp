#include "ui/Controls.h"

#include <algorithm>

namespace quenk::ui {

void CheckBox::SetChecked(bool checked) {
  checked_ = checked;
  if (Peer()) static_cast<CheckBoxPeer*>(Peer())->SetChecked(checked_);
}

void CheckBox::SyncPeer() {
  static_cast<CheckBoxPeer*>(Peer())->SetChecked(checked_);
}

Memo::Memo(Container& parent, int id, std::string name, Rect bounds, std::vector<std::string> lines,
           int tabOrder)
    : Control(parent, ControlKind::kMemo, id, std::move(name), bounds, Join(lines), tabOrder),
      lines_(std::move(lines)) {}

std::string Memo::Join(const std::vector<std::string>& lines) {
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i) text += "\r\n";
    text += lines[i];
  }
  return text;
}

void ProgressBar::SetMax(int max) {
  max_ = std::max(max, min_);
  position_ = std::clamp(position_, min_, max_);
  if (peer()) {
    peer()->SetRange(min_, max_);
    peer()->SetPosition(position_);
  }
}

void ProgressBar::SetPosition(int position) {
  position_ = std::clamp(position, min_, max_);
  if (peer()) peer()->SetPosition(position_);
}

void ProgressBar::StepIt() {
  int next = position_ + step_;
  if (next > max_) next = max_ > min_ ? min_ + (next - min_) % (max_ - min_) : min_;
  SetPosition(next);
}

void ProgressBar::SyncPeer() {
  peer()->SetRange(min_, max_);
  peer()->SetPosition(position_);
}

}  // namespace quenk::ui
