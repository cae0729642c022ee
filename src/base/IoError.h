#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace quenk {

// A failed file operation, worded by the platform error code the way the
// program's users have always seen it ("File access denied", "I/O error 32"),
// after the path it concerns where there is one ("C:\x.txt: Disk full").
class IoError : public std::runtime_error {
 public:
  explicit IoError(std::uint32_t code, const std::string& path = {});
  std::uint32_t Code() const { return code_; }

  static std::string MessageFor(std::uint32_t code);

 private:
  std::uint32_t code_;
};

}  // namespace quenk
