#pragma once

#include <windows.h>

#include <string>

namespace quenk::seed {

// Services as the service control manager makes them: demand start, of
// `type` (SERVICE_KERNEL_DRIVER or SERVICE_WIN32_OWN_PROCESS). An existing
// one is left as it is.
void MakeService(const std::string& name, DWORD type, const std::string& binary);
bool ServiceExists(const std::string& name);
void RemoveService(const std::string& name);

}  // namespace quenk::seed
