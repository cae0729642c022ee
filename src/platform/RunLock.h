#pragma once

#include <memory>
#include <string>

namespace quenk::platform {

// A name held by one holder at a time on the whole machine, released when
// the holder is destroyed (or its process ends).
class HeldName {
 public:
  virtual ~HeldName() = default;
};

class NamedLocks {
 public:
  virtual ~NamedLocks() = default;
  // nullptr when `name` is held already, by this process or another.
  virtual std::unique_ptr<HeldName> TryHold(const std::string& name) = 0;
};

}  // namespace quenk::platform
