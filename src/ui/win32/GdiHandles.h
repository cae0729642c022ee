#pragma once

#include <windows.h>

#include <utility>

namespace quenk::ui::win32 {

// Owns one handle of a kind that a function of the given type frees.
template <class H, BOOL(WINAPI* Free)(H)>
class OwnedHandle {
 public:
  OwnedHandle() = default;
  explicit OwnedHandle(H h) : h_(h) {}
  OwnedHandle(OwnedHandle&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
  OwnedHandle& operator=(OwnedHandle&& o) noexcept {
    if (this != &o) {
      Reset();
      h_ = std::exchange(o.h_, nullptr);
    }
    return *this;
  }
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;
  ~OwnedHandle() { Reset(); }

  H Get() const { return h_; }
  H Release() { return std::exchange(h_, nullptr); }
  void Reset(H h = nullptr) {
    if (h_) Free(h_);
    h_ = h;
  }

 private:
  H h_ = nullptr;
};

inline BOOL WINAPI DeleteFont(HFONT f) {
  return ::DeleteObject(f);
}

using UniqueFont = OwnedHandle<HFONT, DeleteFont>;
using UniqueMenu = OwnedHandle<HMENU, ::DestroyMenu>;
using UniqueAccel = OwnedHandle<HACCEL, ::DestroyAcceleratorTable>;
using UniqueWindow = OwnedHandle<HWND, ::DestroyWindow>;

}  // namespace quenk::ui::win32
