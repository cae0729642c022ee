#pragma once

#include "platform/Registry.h"

#include <map>
#include <memory>
#include <string>

namespace quenk::sim {

struct SimValue {
  std::string name;  // as written
  std::uint32_t type = platform::regtype::kString;
  std::string data;  // as stored, terminating NULs included
  // Made through the wide calls: `name` and `data` are then the 8-bit view
  // of `wideName` and `wideData`, which is not always the same value.
  bool wide = false;
  std::u16string wideName;
  std::string wideData;
  bool nameExact = true;
  bool dataExact = true;
};

struct SimKey {
  std::string name;
  std::map<std::string, std::shared_ptr<SimKey>> subKeys;  // by upper-case name
  std::map<std::string, SimValue> values;                  // by upper-case name
  bool denyRead = false;                                   // cannot be opened at all
  bool denyFullAccess = false;                             // opens for reading only
  bool denyDelete = false;                                 // RegDeleteKey refuses it
  bool madeAsLink = false;  // made by CreateKey as a link, its target not yet set
  bool deleted = false;
  // False: `name` is the 8-bit view of `wideName`, by which nothing opens.
  bool nameExact = true;
  std::u16string wideName;
  SimKey* parent = nullptr;
  // A registry link: opening it (but for OpenItself) opens this key instead.
  platform::HKey linkRoot = 0;
  std::string linkPath;
  bool IsLink() const { return linkRoot != 0; }
};

// An in-memory registry below HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE:
// names without regard to case, typed values, access refusals, and handles
// that stay valid (as deleted keys) after their key is gone.
class SimRegistry final : public platform::Registry {
 public:
  SimRegistry();

  std::uint32_t Open(platform::HKey parent, const std::string& path, std::uint32_t rights,
                     platform::HKey& key) override;
  void Close(platform::HKey key) override;
  std::uint32_t QueryValue(platform::HKey key, const std::string& name, std::uint32_t& type,
                           std::string& data) override;
  std::uint32_t QueryInfo(platform::HKey key, platform::KeyInfo& info) override;
  std::uint32_t EnumKey(platform::HKey key, std::uint32_t index, std::uint32_t bufferChars,
                        std::string& name) override;
  std::uint32_t DeleteKey(platform::HKey parent, const std::string& path) override;
  std::uint32_t OpenItself(platform::HKey parent, const std::string& path, std::uint32_t rights,
                           platform::HKey& key) override;
  std::uint32_t DeleteOpenKey(platform::HKey key) override;
  std::uint32_t DeleteKeyEx(platform::HKey parent, const std::string& path,
                            std::uint32_t view) override;
  std::uint32_t KeyName(platform::HKey key, std::string& name) override;

  // A 64-bit Windows: below HKEY_LOCAL_MACHINE\Software a key opened with
  // KEY_WOW64_32KEY is the one in Software\WOW6432Node. Without it (the
  // default, as on 32-bit Windows) the view flags are ignored. No key is
  // shared between the views.
  void SetSeparate32BitView(bool separate);
  std::uint32_t EnumValue(platform::HKey key, std::uint32_t index, std::string& name,
                          std::uint32_t& type, std::string& data) override;
  std::uint32_t CreateKey(platform::HKey parent, const std::string& path, bool link,
                          platform::HKey& key, bool& created) override;
  std::uint32_t SetValue(platform::HKey key, const std::string& name, std::uint32_t type,
                         const std::string& data) override;
  std::uint32_t ReadsExactly(platform::HKey key, platform::ExactReading& exact) override;
  std::uint32_t DeleteValue(platform::HKey key, const std::string& name) override;

  // Setting up a machine. Paths are relative to the root; missing keys are created.
  using platform::Registry::CreateKey;
  using platform::Registry::SetValue;
  SimKey& CreateKey(platform::HKey root, const std::string& path);
  void SetString(platform::HKey root, const std::string& path, const std::string& name,
                 const std::string& text, std::uint32_t type = platform::regtype::kString);
  void SetValue(platform::HKey root, const std::string& path, const std::string& name,
                std::uint32_t type, std::string data);
  // As the wide calls set them: the name in UTF-16, text data as UTF-16LE
  // bytes. The simulated code page is Latin-1; what it cannot spell reads
  // as "?", and a text of odd byte length loses its last byte.
  void SetWideValue(platform::HKey root, const std::string& path, const std::u16string& name,
                    std::uint32_t type, const std::string& data);
  SimKey& CreateWideKey(platform::HKey root, const std::string& path, const std::u16string& name);
  // A link at `path` to the key `targetPath` below `targetRoot` (which need not exist).
  SimKey& CreateLink(platform::HKey root, const std::string& path, platform::HKey targetRoot,
                     const std::string& targetPath);
  // The key at `path`, links on the way followed, a link at the end not.
  SimKey* Find(platform::HKey root, const std::string& path);
  bool Exists(platform::HKey root, const std::string& path) { return Find(root, path) != nullptr; }
  std::size_t OpenHandles() const { return handles_.size(); }

 private:
  struct Handle {
    std::shared_ptr<SimKey> key;
    std::uint32_t rights;
  };

  std::shared_ptr<SimKey> Base(platform::HKey key);
  std::uint32_t Rights(platform::HKey key) const;
  platform::HKey NewHandle(std::shared_ptr<SimKey> key, std::uint32_t rights);
  // Follows links on the way, and at the end unless `linkItself`.
  std::shared_ptr<SimKey> Walk(std::shared_ptr<SimKey> from, const std::string& path,
                               bool linkItself = false, int depth = 0);
  std::shared_ptr<SimKey> Target(const SimKey& link, int depth);
  std::uint32_t OpenWith(platform::HKey parent, const std::string& path, std::uint32_t rights,
                         bool linkItself, platform::HKey& key);
  // Where `path` below `base` lies in the view `rights` ask for.
  void ToView(std::shared_ptr<SimKey>& base, std::string& path, std::uint32_t rights);
  std::uint32_t Erase(SimKey& target);

  std::map<platform::HKey, std::shared_ptr<SimKey>> roots_;
  std::map<platform::HKey, Handle> handles_;
  platform::HKey nextHandle_ = 0x1000;
  bool separate32BitView_ = false;
};

}  // namespace quenk::sim
