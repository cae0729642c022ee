#pragma once

#include <string>
#include <string_view>

namespace quenk::platform {

// The "\\?\" form of an absolute path, which the file system takes exactly as
// spelt: beyond MAX_PATH, trailing dots and blanks kept. Empty when the path
// cannot be put that way without changing what it names (relative, drive
// relative, "/" or "." and ".." segments, empty segments).
std::string LiteralPath(std::string_view path);

bool IsLiteralPath(std::string_view path);

// Whether a name reaches a device rather than the entry ("aux", "con.txt",
// "COM1 .log") unless the path is taken literally.
bool IsDeviceName(std::string_view name);

}  // namespace quenk::platform
