#pragma once

#include "platform/Ports.h"
#include "platform/sim/SimDriverStore.h"
#include "platform/sim/SimFileSystem.h"
#include "platform/sim/SimIni.h"
#include "platform/sim/SimLocale.h"
#include "platform/sim/SimNamedLocks.h"
#include "platform/sim/SimRegistry.h"
#include "platform/sim/SimServices.h"
#include "platform/sim/SimShell.h"

namespace quenk::sim {

// A whole simulated Windows machine: what the program sees through its ports.
struct SimMachine {
  SimFileSystem fs;
  SimRegistry registry;
  SimIni ini{fs};
  SimLocale locale;
  SimShell shell;
  SimNamedLocks locks;
  SimServices services{registry};
  SimDriverStore drivers{fs};

  platform::Ports ports() {
    return {fs, registry, ini, locale, shell, &locks, &services, &drivers};
  }
};

}  // namespace quenk::sim
