#include "app/CommandLine.h"

namespace quenk {

std::vector<std::string> SplitCommandLine(std::string_view line) {
  std::vector<std::string> args;
  std::size_t i = 0;
  while (true) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i >= line.size()) break;
    std::string arg;
    bool quoted = false;
    for (; i < line.size(); ++i) {
      const char c = line[i];
      if (c == '"')
        quoted = !quoted;
      else if (!quoted && (c == ' ' || c == '\t'))
        break;
      else
        arg += c;
    }
    args.push_back(std::move(arg));
  }
  return args;
}

}  // namespace quenk
