#pragma once

#include "ui/Control.h"

namespace quenk::ui {

// How wide the container's client area shows, at 96 dpi: a frame that
// reaches past its window's edge is cut there.
int VisibleWidth(const Container& container);

// The widest the control may become, at 96 dpi, keeping its place: up to
// the nearest control beside it on its right, or the visible edge of its
// container; never narrower than designed.
int RoomToGrow(const Control& control);

}  // namespace quenk::ui
