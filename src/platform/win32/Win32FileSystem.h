#pragma once

#include "platform/FileSystem.h"

namespace quenk::win32 {

class Win32FileSystem final : public platform::FileSystem {
 public:
  std::unique_ptr<platform::FileSearch> FindRaw(const std::string& pattern) override;
  std::uint32_t Delete(const std::string& path) override;
  std::uint32_t RemoveDir(const std::string& path) override;
  std::uint32_t DeleteListed(const std::string& path, const platform::FindEntry& listed) override;
  std::uint32_t ProbeDelete(const std::string& path) override;
  std::uint32_t ProbeRemoveDir(const std::string& path) override;
  std::uint32_t ProbeMakeDirIn(const std::string& folder) override;
  std::uint32_t MakeDir(const std::string& path) override;
  std::optional<std::uint32_t> Attributes(const std::string& path) override;
  platform::OpenResult Open(const std::string& path, platform::OpenMode mode) override;
  std::string CurrentDir() override;
  std::string ModulePath() override;
  std::optional<std::string> Env(const std::string& name) override;
  std::optional<platform::FolderIdentity> Identify(const std::string& path) override;
  std::string SystemFolderPath(platform::SystemFolder folder) override;
  std::uint32_t Copy(const std::string& from, const std::string& to, bool failIfExists) override;
  std::uint32_t HardLink(const std::string& existing, const std::string& link) override;
  std::uint32_t SetAttributes(const std::string& path, std::uint32_t attributes) override;
  std::optional<platform::FileTimes> Times(const std::string& path) override;
  std::uint32_t SetTimes(const std::string& path, const platform::FileTimes& times) override;
  std::uint32_t MakeLink(const std::string& path, const std::string& target, bool folder) override;
  std::optional<platform::LongName> LongNameOf(const std::string& path) override;
  std::optional<std::uint32_t> AttributesIn(const std::string& folder,
                                            const std::string& utf8Leaf) override;
  std::uint32_t Rename(const std::string& path, const std::string& utf8Leaf) override;

 private:
  // Whether the entry at `path`, opened without following a link, is that
  // entry. Wine follows a link to a file whatever the flags, reports such a
  // link as a plain file, and deletes its target through it; the handle
  // then names the target. On Windows the handle names the entry itself.
  // With `listed`, the name the handle gives is checked against the names a
  // listing gave, without a search that would read the whole folder.
  bool OpensAsItself(const std::string& path, const platform::FindEntry* listed = nullptr);
  // A link to a folder that the system would follow to remove its target.
  bool LinkFollowed(const std::string& path);

  // The last folder OpensAsItself looked in.
  std::string parentSpelt_, parentFinal_, parentInVolume_;
  std::uint64_t parentLookedAt_ = 0;  // GetTickCount64
};

}  // namespace quenk::win32
