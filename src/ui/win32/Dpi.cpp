#include "ui/win32/Dpi.h"

namespace quenk::ui::win32 {
namespace {

template <class F>
F User32(const char* name) {
  return reinterpret_cast<F>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("user32.dll"), name)));
}

}  // namespace

UINT DpiOf(HWND window) {
  using ForWindow = UINT(WINAPI*)(HWND);
  using ForSystem = UINT(WINAPI*)();
  static const auto forWindow = User32<ForWindow>("GetDpiForWindow");
  static const auto forSystem = User32<ForSystem>("GetDpiForSystem");
  UINT dpi = 0;
  if (window && forWindow) dpi = forWindow(window);
  if (!dpi && forSystem) dpi = forSystem();
  if (!dpi) {
    HDC dc = ::GetDC(nullptr);
    dpi = static_cast<UINT>(::GetDeviceCaps(dc, LOGPIXELSY));
    ::ReleaseDC(nullptr, dc);
  }
  return dpi ? dpi : 96;
}

void AdjustForDpi(RECT& rect, DWORD style, DWORD exStyle, bool menu, UINT dpi) {
  using AdjustFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
  static const auto adjust = User32<AdjustFn>("AdjustWindowRectExForDpi");
  if (!adjust || !adjust(&rect, style, menu, exStyle, dpi))
    ::AdjustWindowRectEx(&rect, style, menu, exStyle);
}

void EnsureDpiAwareness() {
  using ContextFn = BOOL(WINAPI*)(HANDLE);
  using AwareFn = BOOL(WINAPI*)();
  static const auto setContext = User32<ContextFn>("SetProcessDpiAwarenessContext");
  // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2; fails harmlessly when the manifest already set it.
  if (setContext && setContext(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4)))) return;
  if (const auto setAware = User32<AwareFn>("SetProcessDPIAware")) setAware();
}

}  // namespace quenk::ui::win32
