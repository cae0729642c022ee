#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace quenk::platform {

// The ANSI code page the program works in, as far as text read in UTF-8
// must be brought into it.
struct CodePage {
  std::string name;  // for messages: "1252", "Latin-1"
  // The text spelt in the code page; nullopt when it cannot spell all of it
  // or the text is not UTF-8.
  std::function<std::optional<std::string>(std::string_view utf8)> fromUtf8;
};

// The simulation's code page: each character up to U+00FF is one byte.
CodePage Latin1CodePage();
// Text every ANSI code page spells alike.
CodePage AsciiCodePage();

}  // namespace quenk::platform
