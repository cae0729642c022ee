#include "app/CommandLine.h"

#include "base/Text.h"

namespace quenk {
namespace {

bool IsSwitch(const std::string& argument) {
  return !argument.empty() && (argument[0] == '/' || argument[0] == '-');
}

}  // namespace

Arguments ParseArguments(const std::vector<std::string>& arguments) {
  Arguments out;
  out.any = !arguments.empty();
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (!IsSwitch(argument)) {
      out.words.push_back(argument);
      continue;
    }
    const std::string name = UpperCase(std::string_view(argument).substr(1));
    Switches& s = out.switches;
    if (name == "PREVIEW") {
      s.preview = true;
    } else if (name == "SILENT") {
      s.silent = true;
    } else if (name == "JSON") {
      s.json = true;
    } else if (name == "CHECK") {
      s.check = true;
    } else if (name == "?" || name == "HELP") {
      s.help = true;
    } else if (name == "RESTORE") {
      const bool stamp = i + 1 < arguments.size() && !IsSwitch(arguments[i + 1]);
      s.restore = stamp ? arguments[++i] : std::string();
    } else {
      s.unknown.push_back(argument);
    }
  }
  return out;
}

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
