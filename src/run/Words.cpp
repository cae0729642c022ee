#include "run/Words.h"

#include "base/Text.h"

#include <algorithm>

namespace quenk::run {

namespace {
constexpr std::size_t kWindowWords = 5;
}  // namespace

const profiles::CleaningItem* ItemOfWord(const profiles::Catalog& catalog, std::string_view word) {
  return catalog.ByWord(word);
}

std::vector<std::string> WindowItems(const profiles::Catalog& catalog,
                                     const std::vector<std::string>& words) {
  std::vector<std::string> items;
  for (std::size_t i = 0; i < words.size() && i < kWindowWords; ++i)
    if (const auto* row = ItemOfWord(catalog, words[i])) items.emplace_back(row->name);
  return items;
}

std::vector<std::string> SilentItems(const profiles::Catalog& catalog,
                                     const std::vector<std::string>& words) {
  std::vector<std::string> items;
  for (const auto& word : words)
    if (const auto* row = ItemOfWord(catalog, word))
      if (std::find(items.begin(), items.end(), row->name) == items.end())
        items.emplace_back(row->name);
  return items;
}

std::string WrongWords(const profiles::Catalog& catalog, const std::vector<std::string>& words) {
  std::string wrong;
  for (const auto& word : words) {
    if (ItemOfWord(catalog, word)) continue;
    std::string line = "Unknown vendor word " + word + ".";
    for (const auto& row : catalog.Items())
      if (EqualsNoCase(word, row.word))
        line = word + ": vendor words are matched exactly; did you mean " + std::string(row.word) +
               "?";
    wrong += line + "\r\n";
  }
  return wrong;
}

}  // namespace quenk::run
