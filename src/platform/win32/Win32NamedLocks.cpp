#include "platform/win32/Win32NamedLocks.h"

#include "platform/win32/Handles.h"

namespace quenk::win32 {
namespace {

class HeldMutex final : public platform::HeldName {
 public:
  explicit HeldMutex(UniqueHandle mutex) : mutex_(std::move(mutex)) {}
  ~HeldMutex() override { ::ReleaseMutex(mutex_.Get()); }

 private:
  UniqueHandle mutex_;
};

}  // namespace

std::unique_ptr<platform::HeldName> Win32NamedLocks::TryHold(const std::string& name) {
  // Only a holder keeps a handle open, so a mutex that exists is held: this
  // also refuses a second hold in the same thread, which a wait would grant.
  // Access denied means it exists with another user's rights.
  UniqueHandle mutex(::CreateMutexA(nullptr, TRUE, name.c_str()));
  if (!mutex.Valid() || ::GetLastError() == ERROR_ALREADY_EXISTS) return nullptr;
  return std::make_unique<HeldMutex>(std::move(mutex));
}

}  // namespace quenk::win32
