#pragma once

#include "platform/Ports.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quenk::test {

// What a contract test needs besides the ports under test: a way to set up a
// machine (files, folders, keys) that does not go through those ports, and
// to know where it runs. Implemented once over the simulation and once over
// the real Win32 API. Both are 64-bit Windows: SysWOW64, Program Files (x86)
// and the 32-bit registry view, as in Wine's 64-bit prefix.
class Machine {
 public:
  virtual ~Machine() = default;

  virtual platform::Ports Ports() = 0;
  virtual bool OnWine() const = 0;
  virtual bool Simulated() const = 0;

  // A fresh, empty folder for the running test (absolute, no trailing "\").
  virtual std::string Scratch() = 0;
  virtual void MakeFolder(const std::string& path, std::uint32_t attributes = 0) = 0;
  virtual void MakeFile(const std::string& path, const std::string& content = {},
                        std::uint32_t attributes = 0) = 0;
  // Another process holds the file open without sharing.
  virtual void HoldOpen(const std::string& path) = 0;
  // A folder `tree` holding the file "a.txt" and a folder link "link" to the
  // folder `outside`, which holds "keep.txt" and lies outside the tree.
  // Wine cannot make links from Win32, so there the test script makes them.
  struct LinkTree {
    std::string tree;
    std::string outside;
  };
  virtual LinkTree MakeLinkTree() = 0;

  // Another drive letter for the volume of C: ("" when this machine has
  // none), and a share onto its root ("" when none).
  virtual std::string OtherDriveOfC() = 0;
  virtual std::string ShareOfC() = 0;

  // A fresh, empty key below HKEY_CURRENT_USER for the running test.
  virtual std::string ScratchKey() = 0;
  virtual void MakeKey(platform::HKey root, const std::string& path) = 0;
  virtual void SetValue(platform::HKey root, const std::string& path, const std::string& name,
                        std::uint32_t type, const std::string& data) = 0;
  virtual bool KeyExists(platform::HKey root, const std::string& path) = 0;
  // A registry link at `path` to `target`, both below `root`.
  virtual void MakeKeyLink(platform::HKey root, const std::string& path,
                           const std::string& target) = 0;
  // Through the wide calls, which store what the 8-bit ones may not spell:
  // names in UTF-16, data as given (text as UTF-16LE bytes).
  virtual void SetWideValue(platform::HKey root, const std::string& path,
                            const std::u16string& name, std::uint32_t type,
                            const std::string& data) = 0;
  virtual void MakeWideKey(platform::HKey root, const std::string& path,
                           const std::u16string& name) = 0;
  struct WideValue {
    std::u16string name;
    std::uint32_t type = 0;
    std::string data;
    friend bool operator==(const WideValue&, const WideValue&) = default;
  };
  // The key's values and the names of its subkeys as the wide calls read them.
  virtual std::vector<WideValue> WideValues(platform::HKey root, const std::string& path) = 0;
  virtual std::vector<std::u16string> WideSubKeys(platform::HKey root, const std::string& path) = 0;
  // Removes what a test made outside its scratch key (links as links).
  virtual void RemoveKeyTree(platform::HKey root, const std::string& path) = 0;

  // A stopped service of that name that runs nothing, made as an installer
  // makes one; false when the service control manager refuses.
  virtual bool MakeService(const std::string& name) = 0;

  virtual void SetEnv(const std::string& name, const std::string& value) = 0;
  virtual void SetCurrentDir(const std::string& path) = 0;
  // A window that may own a notification icon.
  virtual std::uintptr_t IconOwner() = 0;
};

std::unique_ptr<Machine> MakeMachine();

}  // namespace quenk::test
