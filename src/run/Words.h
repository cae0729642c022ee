#pragma once

#include "profiles/Catalog.h"

#include <string>
#include <string_view>
#include <vector>

namespace quenk::run {

// The item a vendor word names, matched exactly (letter case counts), or nullptr.
const profiles::CleaningItem* ItemOfWord(const profiles::Catalog& catalog, std::string_view word);

// The items the window puts on its clean list: those the first five words
// name, in their order, a word given twice listed twice.
std::vector<std::string> WindowItems(const profiles::Catalog& catalog,
                                     const std::vector<std::string>& words);

// The items an unattended run cleans: those the words name, each once, in order.
std::vector<std::string> SilentItems(const profiles::Catalog& catalog,
                                     const std::vector<std::string>& words);

// One line for each word that names no item, with a hint where only the
// letter case is off; empty when every word names one.
std::string WrongWords(const profiles::Catalog& catalog, const std::vector<std::string>& words);

}  // namespace quenk::run
