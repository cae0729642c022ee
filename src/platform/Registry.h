#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "platform/Errors.h"

namespace quenk::platform {

// Key handles and the two predefined roots, valued as on Windows.
using HKey = std::uintptr_t;
inline constexpr HKey kCurrentUser = 0x80000001u;
inline constexpr HKey kLocalMachine = 0x80000002u;

namespace access {
inline constexpr std::uint32_t kQueryValue = 0x0001;
inline constexpr std::uint32_t kEnumerateSubKeys = 0x0008;
inline constexpr std::uint32_t kStandardRightsRead = 0x00020000;
inline constexpr std::uint32_t kAllAccess = 0x000F003F;
inline constexpr std::uint32_t kSetValue = 0x0002;
inline constexpr std::uint32_t kCreateSubKey = 0x0004;
inline constexpr std::uint32_t kDelete = 0x00010000;
// The rights of the existence test, and of a base key that refuses full access.
inline constexpr std::uint32_t kRead = kStandardRightsRead | kQueryValue | kEnumerateSubKeys;
// Added to the rights: the key as 32-bit programs see it on 64-bit Windows
// (below HKLM\Software, its WOW6432Node). Ignored where there is no such view.
inline constexpr std::uint32_t kWow64_32Key = 0x0200;
inline constexpr std::uint32_t kWow64_64Key = 0x0100;
inline constexpr std::uint32_t kViews = kWow64_32Key | kWow64_64Key;
}  // namespace access

namespace regtype {
inline constexpr std::uint32_t kNone = 0;
inline constexpr std::uint32_t kString = 1;        // REG_SZ
inline constexpr std::uint32_t kExpandString = 2;  // REG_EXPAND_SZ
inline constexpr std::uint32_t kBinary = 3;
inline constexpr std::uint32_t kDword = 4;
inline constexpr std::uint32_t kLink = 6;  // REG_LINK: the target of a registry link
inline constexpr std::uint32_t kMultiString = 7;
inline constexpr std::uint32_t kQword = 11;
}  // namespace regtype

struct KeyInfo {
  std::uint32_t subKeys = 0;
  std::uint32_t maxSubKeyLen = 0;  // characters, without the terminating NUL
};

// Whether a key's names and data read through the 8-bit calls as they are
// stored: a name or text the code page cannot spell, or a text of odd byte
// length, reads changed, and written back would not be what was there.
struct ExactReading {
  bool values = true;       // every value's name, type and data
  bool subKeyNames = true;  // the names of the keys right below it
};

// The registry through the ANSI entry points. Every call returns 0 or the
// platform error code; only a restore creates keys and values.
class Registry {
 public:
  virtual ~Registry() = default;
  virtual std::uint32_t Open(HKey parent, const std::string& path, std::uint32_t rights,
                             HKey& key) = 0;
  virtual void Close(HKey key) = 0;
  // Data as stored, terminating NULs included.
  virtual std::uint32_t QueryValue(HKey key, const std::string& name, std::uint32_t& type,
                                   std::string& data) = 0;
  virtual std::uint32_t QueryInfo(HKey key, KeyInfo& info) = 0;
  // Fails with kMoreData when the name needs more than `bufferChars` (NUL included).
  virtual std::uint32_t EnumKey(HKey key, std::uint32_t index, std::uint32_t bufferChars,
                                std::string& name) = 0;
  virtual std::uint32_t DeleteKey(HKey parent, const std::string& path) = 0;
  // Opens a registry link as the link itself (REG_OPTION_OPEN_LINK) rather
  // than what it points to; any other key opens as with Open.
  virtual std::uint32_t OpenItself(HKey parent, const std::string& path, std::uint32_t rights,
                                   HKey& key) = 0;
  // Deletes the key behind an open handle, a link as the link.
  virtual std::uint32_t DeleteOpenKey(HKey key) = 0;
  // As DeleteKey, in the registry view `view` (kWow64_32Key, kWow64_64Key or 0).
  virtual std::uint32_t DeleteKeyEx(HKey parent, const std::string& path, std::uint32_t view) = 0;
  // The key's full name as the system knows it ("\REGISTRY\MACHINE\SOFTWARE\..."):
  // two handles name the same key exactly when their names are equal but for case.
  virtual std::uint32_t KeyName(HKey key, std::string& name) = 0;
  // The value at `index` of the key's values, in the order the registry
  // keeps them: name (empty for the default value), type and data as stored.
  virtual std::uint32_t EnumValue(HKey key, std::uint32_t index, std::string& name,
                                  std::uint32_t& type, std::string& data) = 0;
  // Opens the key at `path` with full access, making it and every missing
  // key on the way; `created` tells whether the last one was made. With
  // `link` a key made at the end is a registry link, whose target is then
  // set as the REG_LINK value kLinkValueName.
  virtual std::uint32_t CreateKey(HKey parent, const std::string& path, bool link, HKey& key,
                                  bool& created) = 0;
  virtual std::uint32_t SetValue(HKey key, const std::string& name, std::uint32_t type,
                                 const std::string& data) = 0;
  virtual std::uint32_t ReadsExactly(HKey key, ExactReading& exact) = 0;
  // Deletes one value of a key opened with kSetValue; kFileNotFound when it is not there.
  virtual std::uint32_t DeleteValue(HKey key, const std::string& name) = 0;
};

// The value a registry link keeps its target in.
inline constexpr const char* kLinkValueName = "SymbolicLinkValue";

// An open key, closed when it goes out of scope.
class RegKey {
 public:
  RegKey() = default;
  RegKey(Registry& registry, HKey key) : registry_(&registry), key_(key) {}
  RegKey(RegKey&& other) noexcept
      : registry_(std::exchange(other.registry_, nullptr)), key_(std::exchange(other.key_, 0)) {}
  RegKey& operator=(RegKey&& other) noexcept {
    if (this != &other) {
      Reset();
      registry_ = std::exchange(other.registry_, nullptr);
      key_ = std::exchange(other.key_, 0);
    }
    return *this;
  }
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;
  ~RegKey() { Reset(); }

  // An empty RegKey when the key cannot be opened with those rights.
  static RegKey Open(Registry& registry, HKey parent, const std::string& path,
                     std::uint32_t rights) {
    HKey key = 0;
    if (registry.Open(parent, path, rights, key) != 0) return {};
    return RegKey(registry, key);
  }
  static RegKey OpenItself(Registry& registry, HKey parent, const std::string& path,
                           std::uint32_t rights) {
    HKey key = 0;
    if (registry.OpenItself(parent, path, rights, key) != 0) return {};
    return RegKey(registry, key);
  }

  explicit operator bool() const { return registry_ != nullptr; }
  HKey Get() const { return key_; }

 private:
  void Reset() {
    if (registry_) registry_->Close(key_);
    registry_ = nullptr;
    key_ = 0;
  }

  Registry* registry_ = nullptr;
  HKey key_ = 0;
};

}  // namespace quenk::platform
