#pragma once

#include <cstddef>
#include <string>

namespace quenk::platform {

// The profile (INI) functions. Reads return at most 2047 characters; section
// and key names match regardless of case.
class Ini {
 public:
  static constexpr std::size_t kBufferSize = 2048;

  virtual ~Ini() = default;
  virtual std::string Read(const std::string& file, const std::string& section,
                           const std::string& key, const std::string& fallback) = 0;
  // False when the platform refuses the write.
  virtual bool Write(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& value) = 0;
};

}  // namespace quenk::platform
