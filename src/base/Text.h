#pragma once

#include <string>
#include <string_view>

namespace quenk {

// ASCII-only case folding, as the ANSI file system and registry compare names.
char FoldCase(char c);
std::string UpperCase(std::string_view text);
bool EqualsNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);
bool EndsWith(std::string_view text, std::string_view suffix);
// Orders like a sorted Windows list box: case-insensitive.
bool LessNoCase(std::string_view a, std::string_view b);

}  // namespace quenk
