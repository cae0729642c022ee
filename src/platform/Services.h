#pragma once

#include <cstdint>
#include <string>

namespace quenk::platform {

struct ServiceStatus {
  bool running = false;  // anything but stopped: starting, stopping, paused too
  // Deleted already, gone once it stops and its last handle closes; where
  // it is not stopped, only a restart takes it.
  bool markedForDeletion = false;
};

// The service control manager, for services named exactly. Every call
// returns 0 or the platform error code: kServiceDoesNotExist when the
// manager does not know the name, kAccessDenied where the caller lacks
// the rights.
class Services {
 public:
  virtual ~Services() = default;
  virtual std::uint32_t Query(const std::string& name, ServiceStatus& status) = 0;
  // Whether the service could be opened to be stopped and deleted, without doing either.
  virtual std::uint32_t Probe(const std::string& name) = 0;
  // Asks a running service to stop and waits a little: 0 once stopped,
  // kServiceNotActive when it was not running.
  virtual std::uint32_t Stop(const std::string& name) = 0;
  // Marks it for deletion; kServiceMarkedForDelete when it was already.
  virtual std::uint32_t Delete(const std::string& name) = 0;
};

}  // namespace quenk::platform
