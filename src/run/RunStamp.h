#pragma once

#include "platform/FileSystem.h"
#include "platform/Locale.h"

#include <string>

namespace quenk {

// The stamp that names a run's files: its log file (or preview or restore
// file) and its backup folder. A stamp that names any of them is never
// taken again, or the run would replace another's log and mix into its
// backup: a run whose stamp is taken waits a moment for the clock's next
// second, and takes the next free second after it when the clock does not
// bring one.
// A forecast writes nothing under its stamp and never waits: it takes the
// next free second at once, so a preview refreshed after a Clean does not
// stand still.
enum class StampWait { kForTheClock, kNever };
std::string FreshStamp(platform::FileSystem& fs, platform::Locale& locale,
                       StampWait wait = StampWait::kForTheClock);

// `t` one second later, on the calendar.
platform::LocalTime NextSecond(platform::LocalTime t);

}  // namespace quenk
