#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace quenk::sim {

// An INF file as SetupAPI reads one: sections and their lines, names
// without regard to case, %tokens% expanded from [Strings].
class SimInf {
 public:
  // nullopt when the text has no [Version] with a Signature, as an INF of the
  // current style must.
  static std::optional<SimInf> Parse(const std::string& text);

  // The line's text with its strings expanded; nullopt when missing.
  std::optional<std::string> Text(const std::string& section, const std::string& key) const;
  // The keys of the section's lines, in file order.
  std::vector<std::string> Keys(const std::string& section) const;
  bool HasSection(const std::string& section) const;

 private:
  struct Line {
    std::string key;
    std::string value;
  };
  std::string Expand(const std::string& value) const;

  std::map<std::string, std::vector<Line>> sections_;  // by upper-case name
};

}  // namespace quenk::sim
