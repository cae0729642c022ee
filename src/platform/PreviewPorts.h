#pragma once

#include "platform/FileSystem.h"
#include "platform/Ini.h"
#include "platform/Registry.h"

#include <functional>
#include <map>
#include <set>
#include <string>

namespace quenk::platform {

// What deletions have been judged to go through so far, by path: a path is
// gone when it, or a folder or key above it, is.
class GoneSet {
 public:
  void Add(const std::string& path) { paths_.insert(Key(path)); }
  bool Holds(const std::string& path) const;
  bool Empty() const { return paths_.empty(); }
  // Upper case, without the literal prefix or a trailing "\".
  static std::string Key(std::string path);

 private:
  std::set<std::string> paths_;
};

// The file system as a cleaning would leave it, without deleting anything:
// each deletion is judged as Windows would judge it (attributes, and an open
// for deletion that is closed again), and what would go is hidden from every
// later look. Nothing is ever created or written.
class PreviewFileSystem final : public FileSystem {
 public:
  explicit PreviewFileSystem(FileSystem& real) : real_(real) {}

  // Called every few hundred entries judged or listed, so that a window
  // can repaint while a large folder is looked at.
  void SetPulse(std::function<void()> pulse) { pulse_ = std::move(pulse); }
  void Work() {
    if (pulse_ && ++work_ % 256 == 0) pulse_();
  }

  std::unique_ptr<FileSearch> FindRaw(const std::string& pattern) override;
  std::uint32_t Delete(const std::string& path) override;
  std::uint32_t RemoveDir(const std::string& path) override;
  std::uint32_t ProbeDelete(const std::string& path) override;
  std::uint32_t ProbeRemoveDir(const std::string& path) override;
  std::uint32_t ProbeMakeDirIn(const std::string& folder) override;
  std::uint32_t MakeDir(const std::string& path) override;
  std::optional<std::uint32_t> Attributes(const std::string& path) override;
  OpenResult Open(const std::string& path, OpenMode mode) override;
  std::string CurrentDir() override { return real_.CurrentDir(); }
  std::string ModulePath() override { return real_.ModulePath(); }
  std::optional<std::string> Env(const std::string& name) override { return real_.Env(name); }
  std::optional<FolderIdentity> Identify(const std::string& path) override;
  std::string SystemFolderPath(SystemFolder folder) override {
    return real_.SystemFolderPath(folder);
  }

  // A preview writes nothing.
  std::uint32_t Copy(const std::string&, const std::string&, bool) override {
    return err::kAccessDenied;
  }
  std::uint32_t HardLink(const std::string&, const std::string&) override {
    return err::kAccessDenied;
  }
  std::uint32_t SetAttributes(const std::string&, std::uint32_t) override {
    return err::kAccessDenied;
  }
  std::optional<FileTimes> Times(const std::string& path) override {
    if (gone_.Holds(path)) return std::nullopt;
    return real_.Times(path);
  }
  std::uint32_t SetTimes(const std::string&, const FileTimes&) override {
    return err::kAccessDenied;
  }
  std::uint32_t MakeLink(const std::string&, const std::string&, bool) override {
    return err::kAccessDenied;
  }
  std::optional<LongName> LongNameOf(const std::string& path) override {
    if (gone_.Holds(path)) return std::nullopt;
    return real_.LongNameOf(path);
  }
  std::optional<std::uint32_t> AttributesIn(const std::string& folder,
                                            const std::string& utf8Leaf) override {
    if (gone_.Holds(folder)) return std::nullopt;
    return real_.AttributesIn(folder, utf8Leaf);
  }
  std::uint32_t Rename(const std::string&, const std::string&) override {
    return err::kAccessDenied;
  }

  bool Gone(const std::string& path) const { return gone_.Holds(path); }

 private:
  std::uint32_t GoneError(const std::string& path) const;

  FileSystem& real_;
  GoneSet gone_;
  std::function<void()> pulse_;
  std::size_t work_ = 0;
};

// The profile functions over the previewed file system: a file that would
// be gone reads as missing; nothing is written.
class PreviewIni final : public Ini {
 public:
  PreviewIni(Ini& real, const PreviewFileSystem& fs) : real_(real), fs_(fs) {}
  std::string Read(const std::string& file, const std::string& section, const std::string& key,
                   const std::string& fallback) override {
    return fs_.Gone(file) ? fallback : real_.Read(file, section, key, fallback);
  }
  bool Write(const std::string&, const std::string&, const std::string&,
             const std::string&) override {
    return false;
  }

 private:
  Ini& real_;
  const PreviewFileSystem& fs_;
};

// The registry as a cleaning would leave it: a key goes when it can be
// opened for deletion and every key below it has gone; what would go is
// hidden from every later look. Nothing is ever deleted or created.
class PreviewRegistry final : public Registry {
 public:
  explicit PreviewRegistry(Registry& real) : real_(real) {}

  std::uint32_t Open(HKey parent, const std::string& path, std::uint32_t rights,
                     HKey& key) override;
  std::uint32_t OpenItself(HKey parent, const std::string& path, std::uint32_t rights,
                           HKey& key) override;
  void Close(HKey key) override;
  std::uint32_t QueryValue(HKey key, const std::string& name, std::uint32_t& type,
                           std::string& data) override;
  // Judged by the rights the key was opened with; nothing is deleted.
  std::uint32_t DeleteValue(HKey key, const std::string& name) override;
  std::uint32_t QueryInfo(HKey key, KeyInfo& info) override { return real_.QueryInfo(key, info); }
  std::uint32_t EnumKey(HKey key, std::uint32_t index, std::uint32_t bufferChars,
                        std::string& name) override {
    return real_.EnumKey(key, index, bufferChars, name);
  }
  std::uint32_t DeleteKey(HKey parent, const std::string& path) override {
    return DeleteKeyEx(parent, path, 0);
  }
  std::uint32_t DeleteOpenKey(HKey key) override;
  std::uint32_t DeleteKeyEx(HKey parent, const std::string& path, std::uint32_t view) override;
  std::uint32_t KeyName(HKey key, std::string& name) override { return real_.KeyName(key, name); }
  std::uint32_t EnumValue(HKey key, std::uint32_t index, std::string& name, std::uint32_t& type,
                          std::string& data) override {
    return real_.EnumValue(key, index, name, type, data);
  }
  // A preview creates and writes nothing.
  std::uint32_t CreateKey(HKey, const std::string&, bool, HKey&, bool&) override {
    return err::kAccessDenied;
  }
  std::uint32_t SetValue(HKey, const std::string&, std::uint32_t, const std::string&) override {
    return err::kAccessDenied;
  }
  std::uint32_t ReadsExactly(HKey key, ExactReading& exact) override {
    return real_.ReadsExactly(key, exact);
  }

 private:
  std::string PathOf(HKey key, const std::string& sub, std::uint32_t rights) const;
  std::uint32_t OpenWith(bool itself, HKey parent, const std::string& path, std::uint32_t rights,
                         HKey& key);
  std::string ResolvedName(HKey key);

  Registry& real_;
  GoneSet gone_;
  // The same keys by the names the system gives them, registry links
  // followed: HKLM\System\CurrentControlSet is a link to a control set.
  GoneSet goneResolved_;
  std::map<HKey, std::string> paths_;  // what each open handle names
  std::map<HKey, std::uint32_t> rights_;
  std::set<std::string> goneValues_;  // key path, a tab, the value's upper-case name
};

}  // namespace quenk::platform
