#include "platform/CodePage.h"

#include <cstdint>

namespace quenk::platform {
namespace {

// The characters of UTF-8 text, or nullopt at the first malformed sequence.
std::optional<std::u32string> Decode(std::string_view utf8) {
  std::u32string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    const int extra = b < 0x80         ? 0
                      : (b >> 5) == 6  ? 1
                      : (b >> 4) == 14 ? 2
                      : (b >> 3) == 30 ? 3
                                       : -1;
    if (extra < 0 || i + extra >= utf8.size()) return std::nullopt;
    char32_t c = extra == 0 ? b : b & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
      const auto n = static_cast<unsigned char>(utf8[i + k]);
      if ((n & 0xC0) != 0x80) return std::nullopt;
      c = (c << 6) | (n & 0x3F);
    }
    i += extra + 1;
    out.push_back(c);
  }
  return out;
}

std::optional<std::string> Narrow(std::string_view utf8, char32_t highest) {
  const auto chars = Decode(utf8);
  if (!chars) return std::nullopt;
  std::string out;
  for (const char32_t c : *chars) {
    if (c > highest) return std::nullopt;
    out.push_back(static_cast<char>(c));
  }
  return out;
}

}  // namespace

CodePage Latin1CodePage() {
  return {"Latin-1", [](std::string_view utf8) { return Narrow(utf8, 0xFF); }};
}

CodePage AsciiCodePage() {
  return {"ASCII", [](std::string_view utf8) { return Narrow(utf8, 0x7F); }};
}

}  // namespace quenk::platform
