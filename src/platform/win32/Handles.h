#pragma once

#include <windows.h>

#include <utility>

namespace quenk::win32 {

// Owns a kernel handle (files) and closes it once.
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE h) : h_(h) {}
  UniqueHandle(UniqueHandle&& o) noexcept : h_(std::exchange(o.h_, INVALID_HANDLE_VALUE)) {}
  UniqueHandle& operator=(UniqueHandle&& o) noexcept {
    if (this != &o) {
      Reset();
      h_ = std::exchange(o.h_, INVALID_HANDLE_VALUE);
    }
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { Reset(); }

  HANDLE Get() const { return h_; }
  bool Valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
  // Closes now and reports the outcome, for callers that must see a failed close.
  bool Close() {
    if (!Valid()) return true;
    const BOOL ok = ::CloseHandle(std::exchange(h_, INVALID_HANDLE_VALUE));
    return ok != FALSE;
  }

 private:
  void Reset() {
    if (Valid()) ::CloseHandle(h_);
    h_ = INVALID_HANDLE_VALUE;
  }
  HANDLE h_ = INVALID_HANDLE_VALUE;
};

// Owns a FindFirstFile search handle.
class UniqueFind {
 public:
  explicit UniqueFind(HANDLE h) : h_(h) {}
  UniqueFind(const UniqueFind&) = delete;
  UniqueFind& operator=(const UniqueFind&) = delete;
  ~UniqueFind() { Close(); }
  void Close() {
    if (h_ != INVALID_HANDLE_VALUE) ::FindClose(std::exchange(h_, INVALID_HANDLE_VALUE));
  }
  HANDLE Get() const { return h_; }
  bool Valid() const { return h_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE h_;
};

}  // namespace quenk::win32
