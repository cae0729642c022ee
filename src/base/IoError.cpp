#include "base/IoError.h"

namespace quenk {

IoError::IoError(std::uint32_t code, const std::string& path)
    : std::runtime_error(path.empty() ? MessageFor(code) : path + ": " + MessageFor(code)),
      code_(code) {}

std::string IoError::MessageFor(std::uint32_t code) {
  switch (code) {
    case 2:
      return "File not found";
    case 3:
      return "Invalid filename";
    case 4:
      return "Too many open files";
    case 5:
      return "File access denied";
    case 100:
      return "Read beyond end of file";
    case 101:
    case 112:  // the system's code for it
      return "Disk full";
    case 106:
      return "Invalid numeric input";
    default:
      return "I/O error " + std::to_string(code);
  }
}

}  // namespace quenk
