#include "engine/Delete.h"

namespace quenk::engine {

using platform::RegKey;
namespace access = platform::access;
namespace err = platform::err;

namespace {

constexpr const char* kServicesBase = "System\\CurrentControlSet\\Services";

}  // namespace

void Remover::RemoveValue(platform::HKey root, const std::string& keyPath,
                          const std::string& name) {
  const std::string keyLine = std::string(RootPrefix(root)) + keyPath;
  const std::string line = keyLine + " [" + name + "]";
  RegKey key = RegKey::Open(registry_, root, keyPath, access::kQueryValue | access::kSetValue);
  const bool writable = static_cast<bool>(key);
  if (!writable) key = RegKey::Open(registry_, root, keyPath, access::kQueryValue);
  std::uint32_t type = 0;
  std::string data;
  if (key && registry_.QueryValue(key.Get(), name, type, data) == 0) {
    // "*" stands for the value: every key on the way, the value's own too, is looked at.
    if (ReachedThroughLink(root, keyPath + "\\*", 0)) {
      Because("reached through a registry link");
      Record(false, line);
    } else if (!writable) {
      Because(kNeedsAdministrator);
      Record(false, line);
    } else if (keeper_ && !Saved(keeper_->SaveValue(key.Get(), keyLine, name))) {
      Record(false, line);
    } else {
      const std::uint32_t error = registry_.DeleteValue(key.Get(), name);
      if (error == err::kAccessDenied) Because(kNeedsAdministrator);
      Record(Done(error, 0), line);
    }
  }
  progress_.Advance();
}

void Remover::RemoveService(const std::string& name) {
  const std::string line = "HKLM\\" + std::string(kServicesBase) + "\\" + name;
  RegKey base = RegKey::Open(registry_, platform::kLocalMachine, kServicesBase, access::kAllAccess);
  if (!base) base = RegKey::Open(registry_, platform::kLocalMachine, kServicesBase, access::kRead);
  const bool keyThere = base && RegKey::OpenItself(registry_, base.Get(), name, access::kRead);
  platform::ServiceStatus status;
  const std::uint32_t queried =
      services_ ? services_->Query(name, status) : err::kServiceDoesNotExist;
  const bool known = queried == 0;
  if (!known && !keyThere) return progress_.Advance();
  // A manager that knows the service but will not say how it stands is not
  // gone around: its key is not deleted behind its back.
  if (!known && queried != err::kServiceDoesNotExist) {
    Because(queried == err::kAccessDenied ? std::string(kNeedsAdministrator)
                                          : ReasonFor(queried, 0));
    Record(false, line);
    return progress_.Advance();
  }
  if (keyThere &&
      ReachedThroughLink(platform::kLocalMachine, std::string(kServicesBase) + "\\" + name, 0)) {
    Because("reached through a registry link");
    Record(false, line);
    return progress_.Advance();
  }
  // The key is the service's whole configuration: it is what the backup keeps.
  if (keyThere && keeper_ && !Saved(keeper_->SaveKey(base.Get(), name, line))) {
    Record(false, line);
    return progress_.Advance();
  }
  if (!known) {
    const bool removed = DeleteKeyTree(base.Get(), name, 0);
    if (!removed && why_ == ReasonFor(err::kAccessDenied, 0)) why_ = kNeedsAdministrator;
    Record(removed, line);
    return progress_.Advance();
  }
  std::uint32_t error = 0;
  bool stopped = !status.running;
  if (status.markedForDeletion) {
    error = err::kServiceMarkedForDelete;
  } else {
    if (!stopped) {
      error = services_->Stop(name);
      stopped = error == 0 || error == err::kServiceNotActive;
    }
    // A service that would not stop is still deleted: the restart takes it.
    if (error != err::kAccessDenied) error = services_->Delete(name);
  }
  if (error == 0 && stopped) {
    Record(true, line);
  } else if (error == 0 || error == err::kServiceMarkedForDelete) {
    restartNeeded_ = true;
    Because(kMarkedForDeletion);
    Record(false, line);
  } else {
    Because(error == err::kAccessDenied ? std::string(kNeedsAdministrator) : ReasonFor(error, 0));
    Record(false, line);
  }
  progress_.Advance();
}

}  // namespace quenk::engine
