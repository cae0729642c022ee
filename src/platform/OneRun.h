#pragma once

#include "platform/Ports.h"

#include <memory>
#include <stdexcept>

namespace quenk::platform {

// Global: runs from other sessions (a remote shell, a deployment tool's
// system account, the user at the console) clean the same files and keys.
inline constexpr const char* kRunLockName = "Global\\Quenk.Run";

class MachineBusy : public std::runtime_error {
 public:
  MachineBusy();
};

// One cleaning, preview or restore at a time on a machine: held by the run
// for its whole length. Throws MachineBusy when another run holds it.
std::unique_ptr<HeldName> HoldTheRun(const Ports& ports);

}  // namespace quenk::platform
