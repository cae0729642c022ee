#pragma once

namespace quenk::ui {

// A control's place in its parent's client area, in pixels at 96 dpi.
struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;

  friend bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace quenk::ui
