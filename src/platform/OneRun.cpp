#include "platform/OneRun.h"

namespace quenk::platform {

MachineBusy::MachineBusy()
    : std::runtime_error("Another cleaning, preview or restore is running on this machine") {}

std::unique_ptr<HeldName> HoldTheRun(const Ports& ports) {
  if (!ports.locks) return nullptr;
  auto held = ports.locks->TryHold(kRunLockName);
  if (!held) throw MachineBusy();
  return held;
}

}  // namespace quenk::platform
