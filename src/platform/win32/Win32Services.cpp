#include "platform/win32/Win32Services.h"

#include <windows.h>

#include <utility>

namespace quenk::win32 {

namespace {

class ScHandle {
 public:
  explicit ScHandle(SC_HANDLE h) : h_(h) {}
  ScHandle(ScHandle&& other) noexcept : h_(std::exchange(other.h_, nullptr)) {}
  ScHandle(const ScHandle&) = delete;
  ScHandle& operator=(const ScHandle&) = delete;
  ScHandle& operator=(ScHandle&&) = delete;
  ~ScHandle() {
    if (h_) ::CloseServiceHandle(h_);
  }
  SC_HANDLE Get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }

 private:
  SC_HANDLE h_;
};

// The service opened with `rights`; the error lands in `error` when it cannot be.
ScHandle OpenService(const std::string& name, DWORD rights, std::uint32_t& error) {
  const ScHandle manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
  if (!manager) {
    error = ::GetLastError();
    return ScHandle(nullptr);
  }
  ScHandle service(::OpenServiceA(manager.Get(), name.c_str(), rights));
  error = service ? 0 : ::GetLastError();
  return service;
}

std::uint32_t Status(SC_HANDLE service, SERVICE_STATUS& status) {
  return ::QueryServiceStatus(service, &status) ? 0 : ::GetLastError();
}

}  // namespace

std::uint32_t Win32Services::Query(const std::string& name, platform::ServiceStatus& status) {
  std::uint32_t error = 0;
  const ScHandle service = OpenService(name, SERVICE_QUERY_STATUS, error);
  if (!service) return error;
  SERVICE_STATUS s{};
  if ((error = Status(service.Get(), s))) return error;
  status.running = s.dwCurrentState != SERVICE_STOPPED;
  // The manager answers a marked service's own deletion request with this.
  status.markedForDeletion = false;
  return 0;
}

std::uint32_t Win32Services::Probe(const std::string& name) {
  std::uint32_t error = 0;
  const ScHandle service = OpenService(name, SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE, error);
  return error;
}

std::uint32_t Win32Services::Stop(const std::string& name) {
  std::uint32_t error = 0;
  const ScHandle service = OpenService(name, SERVICE_STOP | SERVICE_QUERY_STATUS, error);
  if (!service) return error;
  SERVICE_STATUS s{};
  if (!::ControlService(service.Get(), SERVICE_CONTROL_STOP, &s)) return ::GetLastError();
  // A driver service stops at once or never; others are given a few seconds.
  for (int waited = 0; s.dwCurrentState != SERVICE_STOPPED && waited < 50; ++waited) {
    ::Sleep(100);
    if ((error = Status(service.Get(), s))) return error;
  }
  return s.dwCurrentState == SERVICE_STOPPED ? 0 : ERROR_SERVICE_REQUEST_TIMEOUT;
}

std::uint32_t Win32Services::Delete(const std::string& name) {
  std::uint32_t error = 0;
  const ScHandle service = OpenService(name, DELETE, error);
  if (!service) return error;
  return ::DeleteService(service.Get()) ? 0 : ::GetLastError();
}

}  // namespace quenk::win32
