#include "platform/sim/SimServices.h"

#include "base/Text.h"

namespace quenk::sim {

namespace err = platform::err;

namespace {

constexpr const char* kServicesKey = "System\\CurrentControlSet\\Services";

void DeleteTree(platform::Registry& registry, platform::HKey parent, const std::string& name) {
  {
    const auto key = platform::RegKey::Open(registry, parent, name, platform::access::kAllAccess);
    platform::KeyInfo info;
    if (key && registry.QueryInfo(key.Get(), info) == 0) {
      for (std::uint32_t i = info.subKeys; i-- > 0;) {
        std::string sub;
        if (registry.EnumKey(key.Get(), i, info.maxSubKeyLen + 1, sub) == 0)
          DeleteTree(registry, key.Get(), sub);
      }
    }
  }
  registry.DeleteKey(parent, name);
}

}  // namespace

SimService& SimServices::Add(const std::string& name, bool running) {
  registry_.CreateKey(platform::kLocalMachine, std::string(kServicesKey) + "\\" + name);
  SimService& service = services_[UpperCase(name)];
  service = {name, running};
  return service;
}

const SimService* SimServices::Find(const std::string& name) const {
  const auto it = services_.find(UpperCase(name));
  return it == services_.end() ? nullptr : &it->second;
}

SimService* SimServices::Known(const std::string& name) {
  const auto it = services_.find(UpperCase(name));
  return it == services_.end() ? nullptr : &it->second;
}

void SimServices::Remove(const std::string& name) {
  services_.erase(UpperCase(name));
  const auto base = platform::RegKey::Open(registry_, platform::kLocalMachine, kServicesKey,
                                           platform::access::kAllAccess);
  if (base) DeleteTree(registry_, base.Get(), name);
}

std::uint32_t SimServices::Query(const std::string& name, platform::ServiceStatus& status) {
  const SimService* s = Known(name);
  if (!s) return err::kServiceDoesNotExist;
  if (s->denyQuery) return err::kAccessDenied;
  status = {s->running, s->markedForDeletion};
  return 0;
}

std::uint32_t SimServices::Probe(const std::string& name) {
  const SimService* s = Known(name);
  if (!s) return err::kServiceDoesNotExist;
  return s->denyControl ? err::kAccessDenied : 0;
}

std::uint32_t SimServices::Stop(const std::string& name) {
  SimService* s = Known(name);
  if (!s) return err::kServiceDoesNotExist;
  if (s->denyControl) return err::kAccessDenied;
  if (!s->running) return err::kServiceNotActive;
  if (s->ignoresStop) return err::kServiceRequestTimeout;
  s->running = false;
  if (s->markedForDeletion) Remove(name);
  return 0;
}

std::uint32_t SimServices::Delete(const std::string& name) {
  SimService* s = Known(name);
  if (!s) return err::kServiceDoesNotExist;
  if (s->denyControl) return err::kAccessDenied;
  if (s->markedForDeletion) return err::kServiceMarkedForDelete;
  s->markedForDeletion = true;
  if (!s->running) Remove(name);
  return 0;
}

}  // namespace quenk::sim
