#pragma once

#include "base/Text.h"
#include "platform/Errors.h"
#include "platform/Services.h"

#include <set>
#include <string>

namespace quenk::platform {

// The service control manager as a cleaning would leave it: a stop is taken
// as granted, a deletion is judged by whether the service opens for it, and
// a service that would go is unknown to every later look. Nothing is stopped
// or deleted.
class PreviewServices final : public Services {
 public:
  explicit PreviewServices(Services& real) : real_(real) {}

  std::uint32_t Query(const std::string& name, ServiceStatus& status) override {
    if (stopped_.count(UpperCase(name)) && gone_.count(UpperCase(name)))
      return err::kServiceDoesNotExist;
    const std::uint32_t error = real_.Query(name, status);
    if (error == 0 && stopped_.count(UpperCase(name))) status.running = false;
    if (error == 0 && gone_.count(UpperCase(name))) status.markedForDeletion = true;
    return error;
  }
  std::uint32_t Probe(const std::string& name) override { return real_.Probe(name); }
  std::uint32_t Stop(const std::string& name) override {
    ServiceStatus status;
    if (const std::uint32_t error = Query(name, status)) return error;
    if (!status.running) return err::kServiceNotActive;
    if (const std::uint32_t error = real_.Probe(name)) return error;
    stopped_.insert(UpperCase(name));
    return 0;
  }
  std::uint32_t Delete(const std::string& name) override {
    ServiceStatus status;
    if (const std::uint32_t error = Query(name, status)) return error;
    if (status.markedForDeletion) return err::kServiceMarkedForDelete;
    if (const std::uint32_t error = real_.Probe(name)) return error;
    gone_.insert(UpperCase(name));
    if (!status.running) stopped_.insert(UpperCase(name));
    return 0;
  }

 private:
  Services& real_;
  std::set<std::string> stopped_;  // upper case
  std::set<std::string> gone_;     // marked for deletion by the run
};

}  // namespace quenk::platform
