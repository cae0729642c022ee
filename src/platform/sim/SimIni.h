#pragma once

#include "platform/FileSystem.h"
#include "platform/Ini.h"

namespace quenk::sim {

// The profile functions over files of a simulated volume, with their rules:
// names match without regard to case, blanks around names and values and one
// pair of enclosing quotes are dropped, a missing section is appended at the
// end, a missing key at the end of its section, a present key rewritten in place.
class SimIni final : public platform::Ini {
 public:
  explicit SimIni(platform::FileSystem& fs) : fs_(fs) {}

  std::string Read(const std::string& file, const std::string& section, const std::string& key,
                   const std::string& fallback) override;
  bool Write(const std::string& file, const std::string& section, const std::string& key,
             const std::string& value) override;

 private:
  platform::FileSystem& fs_;
};

}  // namespace quenk::sim
