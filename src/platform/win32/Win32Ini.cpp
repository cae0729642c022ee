#include "platform/win32/Win32Ini.h"

#include <windows.h>

namespace quenk::win32 {

std::string Win32Ini::Read(const std::string& file, const std::string& section,
                           const std::string& key, const std::string& fallback) {
  char buffer[kBufferSize];
  const DWORD n = ::GetPrivateProfileStringA(section.c_str(), key.c_str(), fallback.c_str(), buffer,
                                             sizeof buffer, file.c_str());
  return std::string(buffer, n);
}

bool Win32Ini::Write(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& value) {
  return ::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()) !=
         FALSE;
}

}  // namespace quenk::win32
