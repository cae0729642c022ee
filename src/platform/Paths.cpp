#include "platform/Paths.h"

#include "base/Text.h"

#include <string>

namespace quenk::platform {
namespace {

constexpr std::string_view kPrefix = "\\\\?\\";

// Segments after the root must be plain names: the literal form resolves none of them.
bool PlainSegments(std::string_view rest) {
  if (rest.empty()) return true;
  std::size_t start = 0;
  while (start <= rest.size()) {
    std::size_t end = rest.find('\\', start);
    if (end == std::string_view::npos) end = rest.size();
    const std::string_view part = rest.substr(start, end - start);
    if (part == "." || part == "..") return false;
    if (part.empty() && end != rest.size()) return false;
    start = end + 1;
  }
  return true;
}

}  // namespace

bool IsLiteralPath(std::string_view path) {
  return path.substr(0, kPrefix.size()) == kPrefix;
}

std::string LiteralPath(std::string_view path) {
  if (IsLiteralPath(path)) return std::string(path);
  if (path.find('/') != std::string_view::npos) return {};
  const bool drive = path.size() >= 3 && path[1] == ':' && path[2] == '\\' &&
                     ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
  if (drive) {
    if (!PlainSegments(path.substr(3))) return {};
    return std::string(kPrefix) + std::string(path);
  }
  if (path.substr(0, 2) == "\\\\" && path.size() > 2 && path[2] != '\\' && path[2] != '.' &&
      path[2] != '?') {
    const std::string_view rest = path.substr(2);
    const std::size_t server = rest.find('\\');
    if (server == std::string_view::npos || server == 0) return {};
    const std::size_t share = rest.find('\\', server + 1);
    if (share == server + 1) return {};
    if (share != std::string_view::npos && !PlainSegments(rest.substr(share + 1))) return {};
    return std::string(kPrefix) + "UNC\\" + std::string(rest);
  }
  return {};
}

std::string PlainPath(std::string_view path) {
  if (!IsLiteralPath(path)) return std::string(path);
  path.remove_prefix(kPrefix.size());
  // Only the form the system writes is a share: any other spelling stays
  // relative, which every guard refuses.
  if (path.substr(0, 4) == "UNC\\") return "\\\\" + std::string(path.substr(4));
  return std::string(path);
}

bool IsDotName(std::string_view name) {
  return name == "." || name == "..";
}

namespace {

// "/" separates too, except where the path is taken literally.
std::size_t LastSeparator(std::string_view path) {
  return IsLiteralPath(path) ? path.rfind('\\') : path.find_last_of("\\/");
}

}  // namespace

std::string ParentOf(std::string_view path) {
  const std::size_t slash = LastSeparator(path);
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash));
}

std::string FolderOf(std::string_view path) {
  const std::size_t slash = LastSeparator(path);
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::string LastComponent(std::string_view path) {
  const std::size_t slash = LastSeparator(path);
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string KeyParentOf(std::string_view key) {
  const std::size_t slash = key.rfind('\\');
  return slash == std::string_view::npos ? std::string() : std::string(key.substr(0, slash));
}

std::string Join(std::string_view folder, std::string_view name) {
  std::string out(folder);
  if (!out.empty() && out.back() != '\\' && out.back() != '/') out += '\\';
  return out + std::string(name);
}

bool IsDeviceName(std::string_view name) {
  std::string_view base = name.substr(0, name.find('.'));
  while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
  std::string upper(base);
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  if (upper == "CON" || upper == "PRN" || upper == "AUX" || upper == "NUL") return true;
  return upper.size() == 4 && (upper.rfind("COM", 0) == 0 || upper.rfind("LPT", 0) == 0) &&
         upper[3] >= '1' && upper[3] <= '9';
}

}  // namespace quenk::platform
