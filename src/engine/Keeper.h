#pragma once

#include "platform/DriverStore.h"
#include "platform/Registry.h"

#include <string>

namespace quenk::engine {

// Saves what the engine is about to delete, right before it does. Each call
// returns true when the item is saved completely, or when there is nothing
// of it that a deletion could take; on false the engine touches nothing of
// the item and records it as not deleted.
class Keeper {
 public:
  // `path` reaches the file (short or literal form where the name needs it).
  virtual bool SaveFile(const std::string& path) = 0;
  // The folder with all it holds; links inside are saved as links.
  virtual bool SaveTree(const std::string& path) = 0;
  // The key `name` below the open key `parent`, with all its values and
  // subkeys; `line` is the key as the record words it ("HKLM\Software\x").
  virtual bool SaveKey(platform::HKey parent, const std::string& name, const std::string& line) = 0;
  // The value `name` of the open key `key`; `keyLine` is the key as the
  // record words it, the record's line is "keyLine [name]".
  virtual bool SaveValue(platform::HKey key, const std::string& keyLine,
                         const std::string& name) = 0;
  // The published inf, its .pnf and its store folder, byte for byte, with
  // what restoring it through the system needs. A keeper that cannot keep
  // packages keeps them all on the machine.
  virtual bool SavePackage(const platform::DriverPackage& /*package*/) { return false; }
  // Why the last call that returned false could not save its item, as the
  // record gives it beside the line that stayed.
  virtual std::string FailureReason() const { return "no copy in the backup"; }

 protected:
  ~Keeper() = default;
};

}  // namespace quenk::engine
