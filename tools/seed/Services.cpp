#include "Services.h"

#include <memory>
#include <type_traits>

namespace quenk::seed {
namespace {

struct CloseService {
  void operator()(SC_HANDLE h) const { ::CloseServiceHandle(h); }
};
using ScHandle = std::unique_ptr<std::remove_pointer_t<SC_HANDLE>, CloseService>;

ScHandle Manager(DWORD rights) {
  return ScHandle(::OpenSCManagerA(nullptr, nullptr, rights));
}

}  // namespace

void MakeService(const std::string& name, DWORD type, const std::string& binary) {
  const ScHandle manager = Manager(SC_MANAGER_CREATE_SERVICE);
  if (!manager) return;
  ScHandle(::CreateServiceA(manager.get(), name.c_str(), name.c_str(), SERVICE_ALL_ACCESS, type,
                            SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL, binary.c_str(), nullptr,
                            nullptr, nullptr, nullptr, nullptr));
}

bool ServiceExists(const std::string& name) {
  const ScHandle manager = Manager(SC_MANAGER_CONNECT);
  return manager && ScHandle(::OpenServiceA(manager.get(), name.c_str(), SERVICE_QUERY_STATUS));
}

void RemoveService(const std::string& name) {
  const ScHandle manager = Manager(SC_MANAGER_CONNECT);
  if (!manager) return;
  const ScHandle service(::OpenServiceA(manager.get(), name.c_str(), DELETE));
  if (service) ::DeleteService(service.get());
}

}  // namespace quenk::seed
