#pragma once

#include <string>

namespace quenk {

// An error's message as the error report words it: ended by a full stop
// unless it already ends in punctuation.
std::string ReportText(std::string message);

}  // namespace quenk
