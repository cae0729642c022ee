#pragma once

#include "engine/Progress.h"
#include "engine/CleaningRecord.h"
#include "platform/Ports.h"
#include "settings/OptionFlags.h"

#include <functional>
#include <string>
#include <vector>

namespace quenk {

// What a cleaning of some entries would do, found out by running the same
// profiles through the same engine against a view of the machine in which
// nothing is deleted: the lines the run would add to the deleted and the
// not-deleted lists, and the error it would stop on.
struct Forecast {
  std::vector<std::string> deleted;
  std::vector<std::string> notDeleted;
  std::vector<std::string> reasons;  // beside notDeleted: why each line would stay
  std::string stop;                  // the error's message; empty when the run would get through
};

// `pulse` is called now and then while large folders are looked at.
Forecast RunForecast(platform::Ports ports, const std::vector<std::string>& entries,
                     const OptionFlags& flags, engine::Progress& progress,
                     std::function<void()> pulse = {});

}  // namespace quenk
