#pragma once

#include "platform/FileSystem.h"

namespace quenk::test {

// Passes every call on to another file system; tests override what they watch.
class ForwardingFileSystem : public platform::FileSystem {
 public:
  explicit ForwardingFileSystem(platform::FileSystem& inner) : inner_(inner) {}

  std::unique_ptr<platform::FileSearch> FindRaw(const std::string& p) override {
    return inner_.FindRaw(p);
  }
  std::uint32_t Delete(const std::string& p) override { return inner_.Delete(p); }
  std::uint32_t RemoveDir(const std::string& p) override { return inner_.RemoveDir(p); }
  std::uint32_t DeleteListed(const std::string& p, const platform::FindEntry& e) override {
    return inner_.DeleteListed(p, e);
  }
  std::uint32_t ProbeDelete(const std::string& p) override { return inner_.ProbeDelete(p); }
  std::uint32_t ProbeRemoveDir(const std::string& p) override { return inner_.ProbeRemoveDir(p); }
  std::uint32_t ProbeMakeDirIn(const std::string& p) override { return inner_.ProbeMakeDirIn(p); }
  std::uint32_t MakeDir(const std::string& p) override { return inner_.MakeDir(p); }
  std::optional<std::uint32_t> Attributes(const std::string& p) override {
    return inner_.Attributes(p);
  }
  platform::OpenResult Open(const std::string& p, platform::OpenMode m) override {
    return inner_.Open(p, m);
  }
  std::string CurrentDir() override { return inner_.CurrentDir(); }
  std::string ModulePath() override { return inner_.ModulePath(); }
  std::optional<std::string> Env(const std::string& n) override { return inner_.Env(n); }
  std::optional<platform::FolderIdentity> Identify(const std::string& p) override {
    return inner_.Identify(p);
  }
  std::string SystemFolderPath(platform::SystemFolder f) override {
    return inner_.SystemFolderPath(f);
  }
  std::uint32_t Copy(const std::string& from, const std::string& to, bool failIfExists) override {
    return inner_.Copy(from, to, failIfExists);
  }
  std::uint32_t HardLink(const std::string& existing, const std::string& link) override {
    return inner_.HardLink(existing, link);
  }
  std::uint32_t SetAttributes(const std::string& p, std::uint32_t a) override {
    return inner_.SetAttributes(p, a);
  }
  std::optional<platform::FileTimes> Times(const std::string& p) override {
    return inner_.Times(p);
  }
  std::uint32_t SetTimes(const std::string& p, const platform::FileTimes& t) override {
    return inner_.SetTimes(p, t);
  }
  std::uint32_t MakeLink(const std::string& p, const std::string& target, bool folder) override {
    return inner_.MakeLink(p, target, folder);
  }
  std::optional<platform::LongName> LongNameOf(const std::string& p) override {
    return inner_.LongNameOf(p);
  }
  std::optional<std::uint32_t> AttributesIn(const std::string& f, const std::string& l) override {
    return inner_.AttributesIn(f, l);
  }
  std::uint32_t Rename(const std::string& p, const std::string& l) override {
    return inner_.Rename(p, l);
  }

 private:
  platform::FileSystem& inner_;
};

}  // namespace quenk::test
