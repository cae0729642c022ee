#pragma once

#include "platform/RunLock.h"

namespace quenk::win32 {

// Named mutexes.
class Win32NamedLocks final : public platform::NamedLocks {
 public:
  std::unique_ptr<platform::HeldName> TryHold(const std::string& name) override;
};

}  // namespace quenk::win32
