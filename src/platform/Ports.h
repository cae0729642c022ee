#pragma once

#include "platform/DriverStore.h"
#include "platform/FileSystem.h"
#include "platform/Ini.h"
#include "platform/Locale.h"
#include "platform/Registry.h"
#include "platform/RunLock.h"
#include "platform/Services.h"
#include "platform/Shell.h"

namespace quenk::platform {

// Every Windows service the program uses, handed down from the entry point.
struct Ports {
  FileSystem& fs;
  Registry& registry;
  Ini& ini;
  Locale& locale;
  Shell& shell;
  // Absent in tests that build their ports by hand: nothing is held then.
  NamedLocks* locks = nullptr;
  // Absent where no service control manager is at hand: a service is
  // then removed as its key.
  Services* services = nullptr;
  // Absent likewise: no driver package is listed, removed or staged then.
  DriverStore* drivers = nullptr;
};

}  // namespace quenk::platform
