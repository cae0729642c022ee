#pragma once

#include "platform/RunLock.h"

#include <set>
#include <string>

namespace quenk::sim {

// Names held on the simulated machine; a test holds one itself to play
// another process.
class SimNamedLocks final : public platform::NamedLocks {
 public:
  std::unique_ptr<platform::HeldName> TryHold(const std::string& name) override {
    if (!held_.insert(name).second) return nullptr;
    return std::make_unique<Holder>(held_, name);
  }
  bool IsHeld(const std::string& name) const { return held_.count(name) > 0; }

 private:
  class Holder final : public platform::HeldName {
   public:
    Holder(std::set<std::string>& held, std::string name) : held_(held), name_(std::move(name)) {}
    ~Holder() override { held_.erase(name_); }

   private:
    std::set<std::string>& held_;
    std::string name_;
  };

  std::set<std::string> held_;  // object names are case-sensitive, as Windows keeps them
};

}  // namespace quenk::sim
