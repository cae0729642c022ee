#pragma once

#include "ui/Control.h"
#include "ui/Peers.h"

#include <windows.h>

#include <memory>

namespace quenk::ui::win32 {

// Creates the child window for one control of the model, with its peer.
// Frames get a window of their own class; their controls go inside it.
std::unique_ptr<ControlPeer> CreateControlPeer(Control& control, HWND parent, HFONT font, UINT dpi);

// The window of a control that a peer mirrors, or nullptr.
HWND WindowOf(const ControlPeer* peer);

// Places every control window of a container again at `dpi` (after a dpi change).
void LayoutControls(const Container& container, HFONT font, UINT dpi);

// Window class of frames: forwards commands and colours to the form.
void RegisterFrameClass(const char* className);

}  // namespace quenk::ui::win32
