#pragma once

#include "platform/Ini.h"

namespace quenk::win32 {

class Win32Ini final : public platform::Ini {
 public:
  std::string Read(const std::string& file, const std::string& section, const std::string& key,
                   const std::string& fallback) override;
  bool Write(const std::string& file, const std::string& section, const std::string& key,
             const std::string& value) override;
};

}  // namespace quenk::win32
