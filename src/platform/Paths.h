#pragma once

#include <string>
#include <string_view>

namespace quenk::platform {

// The textual rules of Windows paths, in one place: what the prefix "\\?\"
// means, where a path's folder ends, which names are the dots. Nothing here
// asks the system.

// The "\\?\" form of an absolute path, which the file system takes exactly as
// spelt: beyond MAX_PATH, trailing dots and blanks kept. Empty when the path
// cannot be put that way without changing what it names (relative, drive
// relative, "/" or "." and ".." segments, empty segments).
std::string LiteralPath(std::string_view path);

bool IsLiteralPath(std::string_view path);

// The path without the literal prefix: "\\?\C:\x" is "C:\x" and
// "\\?\UNC\srv\share" is "\\srv\share" ("UNC" in capitals, as the
// system writes it). Other paths are returned as they are.
std::string PlainPath(std::string_view path);

// "." and "..", which every listing of a folder below a root holds.
bool IsDotName(std::string_view name);

// The path up to its last "\" (or "/", unless the path is literal), without
// it; empty when it has none.
std::string ParentOf(std::string_view path);
// The same with the separator kept: the folder a name is joined to.
std::string FolderOf(std::string_view path);
// What follows the last separator; the whole path when it has none.
std::string LastComponent(std::string_view path);
// A registry key's parent: key names may hold "/", only "\" separates.
std::string KeyParentOf(std::string_view key);
// `name` below `folder`, with one "\" between them. A folder that ends in a
// separator is joined as the profiles write their folders: by concatenation.
std::string Join(std::string_view folder, std::string_view name);

// Whether a name reaches a device rather than the entry ("aux", "con.txt",
// "COM1 .log") unless the path is taken literally.
bool IsDeviceName(std::string_view name);

}  // namespace quenk::platform
