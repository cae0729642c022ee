#pragma once

#include "platform/Services.h"

namespace quenk::win32 {

// The service control manager through the ANSI entry points.
class Win32Services final : public platform::Services {
 public:
  std::uint32_t Query(const std::string& name, platform::ServiceStatus& status) override;
  std::uint32_t Probe(const std::string& name) override;
  std::uint32_t Stop(const std::string& name) override;
  std::uint32_t Delete(const std::string& name) override;
};

}  // namespace quenk::win32
