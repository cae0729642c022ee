#pragma once

#include "platform/FileSystem.h"
#include "platform/Locale.h"

#include <string>

namespace quenk {

// The stamp that names a run's files: its log file (or preview or restore
// file) and its backup folder. Two runs never share one, or the second
// would replace the first one's log and mix into its backup: a run whose
// stamp is taken waits for the clock's next second.
std::string FreshStamp(platform::FileSystem& fs, platform::Locale& locale);

}  // namespace quenk
