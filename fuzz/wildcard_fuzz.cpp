// The mask matcher against a plain dynamic-programming reference: the same
// answer for every name and mask, and no blow-up on long hostile patterns.
// Input: name, a 0 byte, mask.
#include "base/Text.h"
#include "platform/Wildcard.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

bool Reference(std::string_view s, std::string_view p) {
  // match[i][j]: s[i..] matches p[j..]
  std::vector<std::vector<char>> match(s.size() + 1, std::vector<char>(p.size() + 1, 0));
  match[s.size()][p.size()] = 1;
  for (std::size_t j = p.size(); j-- > 0;)
    match[s.size()][j] = p[j] == '*' && match[s.size()][j + 1];
  for (std::size_t i = s.size(); i-- > 0;) {
    for (std::size_t j = p.size(); j-- > 0;) {
      if (p[j] == '*')
        match[i][j] = match[i][j + 1] || match[i + 1][j];
      else
        match[i][j] =
            (p[j] == '?' || quenk::FoldCase(p[j]) == quenk::FoldCase(s[i])) && match[i + 1][j + 1];
    }
  }
  return match[0][0];
}

bool ReferenceMask(std::string_view name, std::string_view mask) {
  if (mask.empty()) return false;
  const bool hasDot = name.find('.') != std::string_view::npos;
  if (mask.size() >= 2 && mask.substr(mask.size() - 2) == ".*")
    return Reference(name, mask) || (!hasDot && Reference(name, mask.substr(0, mask.size() - 2)));
  if (mask.back() == '.' && mask != "." && mask != "..")
    return !hasDot && Reference(name, mask.substr(0, mask.size() - 1));
  return Reference(name, mask);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 600) return 0;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t split = input.find('\0');
  const std::string_view name = input.substr(0, split);
  const std::string_view mask =
      split == std::string_view::npos ? std::string_view() : input.substr(split + 1);
  if (quenk::platform::MatchesMask(name, mask) != ReferenceMask(name, mask)) std::abort();
  return 0;
}
