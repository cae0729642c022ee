#include "ui/Control.h"

#include "ui/Form.h"

#include <algorithm>

namespace quenk::ui {

Control::Control(Container& parent, ControlKind kind, int id, std::string name, Rect bounds,
                 std::string caption, int tabOrder)
    : parent_(parent),
      kind_(kind),
      id_(id),
      name_(std::move(name)),
      bounds_(bounds),
      caption_(std::move(caption)),
      tabOrder_(tabOrder) {
  parent_.controls_.push_back(this);
}

Control::~Control() {
  auto& list = parent_.controls_;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

Form& Control::OwnerForm() const {
  return parent_.OwnerForm();
}

void Control::SetVisible(bool visible) {
  if (visible_ == visible) return;
  visible_ = visible;
  if (peer_) peer_->SetVisible(visible);
}

void Control::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  if (peer_) peer_->SetEnabled(enabled);
}

void Control::SetCaption(std::string caption) {
  caption_ = std::move(caption);
  if (peer_) peer_->SetCaption(caption_);
}

void Control::SetFocus() {
  if (peer_) peer_->Focus();
}

void Control::AttachPeer(std::unique_ptr<ControlPeer> peer) {
  peer_ = std::move(peer);
  if (peer_) SyncPeer();
}

Control* Container::FindById(int id) const {
  for (Control* c : controls_) {
    if (c->Id() == id) return c;
    if (auto* inner = dynamic_cast<Container*>(c)) {
      if (Control* found = inner->FindById(id)) return found;
    }
  }
  return nullptr;
}

std::vector<Control*> Container::ControlsInTabOrder() const {
  std::vector<Control*> ordered = controls_;
  std::stable_sort(ordered.begin(), ordered.end(), [](const Control* a, const Control* b) {
    const bool at = a->TabOrder() != Control::kNoTabStop, bt = b->TabOrder() != Control::kNoTabStop;
    if (at != bt) return at;
    return at && a->TabOrder() < b->TabOrder();
  });
  return ordered;
}

}  // namespace quenk::ui
