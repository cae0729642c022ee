#pragma once

#include <windows.h>

namespace quenk::ui::win32 {

// Layout is given at 96 dpi and scaled to the window's own.
inline int Scale(int value, UINT dpi) {
  return ::MulDiv(value, static_cast<int>(dpi), 96);
}

// The dpi of a window (or of the system for nullptr). Uses the per-monitor
// functions where user32 has them and falls back to the screen's on older
// Windows and on Wine.
UINT DpiOf(HWND window);
// AdjustWindowRectEx at a given dpi.
void AdjustForDpi(RECT& rect, DWORD style, DWORD exStyle, bool menu, UINT dpi);
// Asks for per-monitor awareness when no manifest did (a renamed or stripped build).
void EnsureDpiAwareness();

}  // namespace quenk::ui::win32
