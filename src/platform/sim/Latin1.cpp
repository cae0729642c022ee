#include "platform/sim/Latin1.h"

namespace quenk::sim {

std::string Latin1ToUtf8(const std::string& ansi) {
  std::string utf8;
  for (const char ch : ansi) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x80) {
      utf8 += ch;
    } else {
      utf8 += static_cast<char>(0xC0 | (c >> 6));
      utf8 += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return utf8;
}

}  // namespace quenk::sim
