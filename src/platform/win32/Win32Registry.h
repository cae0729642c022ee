#pragma once

#include "platform/Registry.h"

namespace quenk::win32 {

class Win32Registry final : public platform::Registry {
 public:
  std::uint32_t Open(platform::HKey parent, const std::string& path, std::uint32_t rights,
                     platform::HKey& key) override;
  void Close(platform::HKey key) override;
  std::uint32_t QueryValue(platform::HKey key, const std::string& name, std::uint32_t& type,
                           std::string& data) override;
  std::uint32_t QueryInfo(platform::HKey key, platform::KeyInfo& info) override;
  std::uint32_t EnumKey(platform::HKey key, std::uint32_t index, std::uint32_t bufferChars,
                        std::string& name) override;
  std::uint32_t DeleteKey(platform::HKey parent, const std::string& path) override;
  std::uint32_t OpenItself(platform::HKey parent, const std::string& path, std::uint32_t rights,
                           platform::HKey& key) override;
  std::uint32_t DeleteOpenKey(platform::HKey key) override;
  std::uint32_t DeleteKeyEx(platform::HKey parent, const std::string& path,
                            std::uint32_t view) override;
  std::uint32_t KeyName(platform::HKey key, std::string& name) override;
  std::uint32_t EnumValue(platform::HKey key, std::uint32_t index, std::string& name,
                          std::uint32_t& type, std::string& data) override;
  std::uint32_t CreateKey(platform::HKey parent, const std::string& path, bool link,
                          platform::HKey& key, bool& created) override;
  std::uint32_t SetValue(platform::HKey key, const std::string& name, std::uint32_t type,
                         const std::string& data) override;
  std::uint32_t ReadsExactly(platform::HKey key, platform::ExactReading& exact) override;
  std::uint32_t DeleteValue(platform::HKey key, const std::string& name) override;
};

}  // namespace quenk::win32
