#pragma once

#include "platform/Services.h"
#include "platform/sim/SimRegistry.h"

#include <map>
#include <string>

namespace quenk::sim {

struct SimService {
  std::string name;
  bool running = false;
  bool markedForDeletion = false;
  bool denyControl = false;  // stop and delete refused: the user lacks the rights
  bool denyQuery = false;    // even its state is refused
  bool ignoresStop = false;  // a stop request times out
};

// The service control manager over the simulated registry: a service it
// deletes while stopped takes its key
// HKLM\System\CurrentControlSet\Services\NAME with it, as the system's does.
class SimServices final : public platform::Services {
 public:
  explicit SimServices(SimRegistry& registry) : registry_(registry) {}

  std::uint32_t Query(const std::string& name, platform::ServiceStatus& status) override;
  std::uint32_t Probe(const std::string& name) override;
  std::uint32_t Stop(const std::string& name) override;
  std::uint32_t Delete(const std::string& name) override;

  // Setting up a machine: the service and its key.
  SimService& Add(const std::string& name, bool running = false);
  const SimService* Find(const std::string& name) const;

 private:
  SimService* Known(const std::string& name);
  void Remove(const std::string& name);

  SimRegistry& registry_;
  std::map<std::string, SimService> services_;  // by upper-case name
};

}  // namespace quenk::sim
