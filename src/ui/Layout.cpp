#include "ui/Layout.h"

#include "ui/Controls.h"
#include "ui/Form.h"

#include <algorithm>

namespace quenk::ui {

int VisibleWidth(const Container& container) {
  if (const auto* form = dynamic_cast<const Form*>(&container)) return form->Style().clientWidth;
  const auto& frame = dynamic_cast<const Frame&>(container);
  const int inParent = VisibleWidth(frame.Parent()) - frame.Bounds().left;
  return std::max(0, std::min(frame.Bounds().width, inParent));
}

int RoomToGrow(const Control& control) {
  const Rect& r = control.Bounds();
  int right = VisibleWidth(control.Parent());
  for (const Control* other : control.Parent().Controls()) {
    const Rect& o = other->Bounds();
    const bool beside = o.top < r.top + r.height && r.top < o.top + o.height;
    if (other != &control && beside && o.left >= r.left + r.width) right = std::min(right, o.left);
  }
  return std::max(r.width, right - r.left);
}

}  // namespace quenk::ui
