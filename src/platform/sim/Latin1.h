#pragma once

#include <string>

namespace quenk::sim {

// The simulation's ANSI code page is Latin-1: each byte is the code point
// of the same number.
std::string Latin1ToUtf8(const std::string& ansi);

}  // namespace quenk::sim
