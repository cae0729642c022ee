#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quenk {

// Splits a command line the way Windows programs read their arguments:
// blanks separate, double quotes group and are dropped. The first element
// is the program path.
std::vector<std::string> SplitCommandLine(std::string_view line);

// The switches a command line can hold: "/name" or "-name", in any case, in
// any position. "/restore" takes the argument after it as its stamp.
struct Switches {
  bool preview = false;
  bool silent = false;
  bool help = false;                   // "/?" or "/help"
  bool json = false;                   // the run's result as JSON on standard output
  bool check = false;                  // the words are profile files to check
  std::optional<std::string> restore;  // empty text when no stamp followed
  std::vector<std::string> unknown;    // as written
};

// The arguments after the program path: the switches taken out, the rest
// left in order for the vendor words.
struct Arguments {
  std::vector<std::string> words;
  Switches switches;
  bool any = false;  // whether there was any argument at all
};

Arguments ParseArguments(const std::vector<std::string>& arguments);

}  // namespace quenk
