#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Errors.h"

namespace quenk::platform {

// File attribute bits as the platform reports them.
namespace attr {
inline constexpr std::uint32_t kReadOnly = 0x1;
inline constexpr std::uint32_t kHidden = 0x2;
inline constexpr std::uint32_t kSystem = 0x4;
inline constexpr std::uint32_t kVolumeLabel = 0x8;
inline constexpr std::uint32_t kDirectory = 0x10;
inline constexpr std::uint32_t kArchive = 0x20;
inline constexpr std::uint32_t kNormal = 0x80;
inline constexpr std::uint32_t kReparsePoint = 0x400;
// What SetAttributes can change; the rest the system keeps itself.
inline constexpr std::uint32_t kSettable = kReadOnly | kHidden | kSystem | kArchive | 0x100 |
                                           0x1000 | 0x2000;  // temporary, offline, not indexed
// The requested attribute sets the engine searches with.
inline constexpr std::uint32_t kAnyFile = 63;
inline constexpr std::uint32_t kFolders = kDirectory;
}  // namespace attr

// A FILETIME as one number: 100-nanosecond intervals since 1601.
struct FileTimes {
  std::uint64_t creation = 0;
  std::uint64_t lastAccess = 0;
  std::uint64_t lastWrite = 0;
  friend bool operator==(const FileTimes&, const FileTimes&) = default;
};

// An entry's long name both ways: as the ANSI code page spells it ("?" for
// each character it lacks) and in UTF-8, which lacks none.
struct LongName {
  std::string ansi;
  std::string utf8;
};

struct FindEntry {
  std::string name;       // the long name as the ANSI code page spells it ("?" where it cannot)
  std::string shortName;  // the 8.3 name, empty when the long name is one or the volume keeps none
  std::uint32_t attributes = 0;
  FileTimes times;
  std::uint64_t size = 0;  // files only
};

// One open directory search; closes itself when destroyed.
class FileSearch {
 public:
  virtual ~FileSearch() = default;
  virtual bool Next(FindEntry& entry) = 0;
  // Why the listing ended: 0 when every entry was listed, otherwise the
  // platform error (kFileNotFound when nothing matched at all).
  virtual std::uint32_t Error() const = 0;
};

// What a folder is, whatever path reached it: its volume, its index on that
// volume, and the path with every link resolved ("C:\x", "\\server\share\x").
struct FolderIdentity {
  std::uint32_t volume = 0;
  std::uint64_t index = 0;
  std::string finalPath;
  bool SameAs(const FolderIdentity& other) const {
    return volume == other.volume && index == other.index;
  }
};

// Folders the system itself names.
enum class SystemFolder {
  kWindows,
  kSystem,
  kSystemWow64,
  kProgramFiles,
  kProgramFilesX86,
  kCommonFiles,
  kCommonFilesX86,
  kProgramData,
  kProfile,
  kDesktop,
  kDocuments,
  kMusic,
  kPictures,
  kVideos,
  kAppData,
  kLocalAppData,
};

// An open file for writing or reading, closed when destroyed.
class File {
 public:
  virtual ~File() = default;
  // Returns 0 or the platform error code; a short write reports 101.
  virtual std::uint32_t Write(std::string_view bytes) = 0;
  virtual std::uint32_t ReadAll(std::string& bytes) = 0;
  virtual std::uint32_t Close() = 0;
};

enum class OpenMode {
  kCreateExclusive,  // read/write, no sharing, always create
  kRewrite,          // write only, always create (truncates)
  kRead,             // read only, existing file, shared for reading
  kAppend,           // write only, existing file or a new one, written at its end
  kCreateNew,        // write only, no sharing, a new file: kFileExists when one is there
};

struct OpenResult {
  std::uint32_t error = 0;
  std::unique_ptr<File> file;
};

// The file system and process environment, through the ANSI entry points.
class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Searches pattern (folder + mask) and passes over every entry that carries
  // hidden, system or folder when that attribute is not in `requested`.
  std::unique_ptr<FileSearch> Find(const std::string& pattern, std::uint32_t requested);

  virtual std::unique_ptr<FileSearch> FindRaw(const std::string& pattern) = 0;
  virtual std::uint32_t Delete(const std::string& path) = 0;
  virtual std::uint32_t RemoveDir(const std::string& path) = 0;
  // Delete for an entry that a listing of its folder gave, at a `path` made
  // of the names listed: a system may take its names and attributes from
  // `listed` instead of looking them up again.
  virtual std::uint32_t DeleteListed(const std::string& path, const FindEntry& listed) {
    static_cast<void>(listed);
    return Delete(path);
  }
  // Whether Delete and RemoveDir could go through, without doing them: the
  // entry itself (a link, not its target) is opened for deletion with full
  // sharing and closed again. 0, or what the open met (in use, access
  // denied). Neither looks at the read-only attribute or at whether a
  // folder is empty.
  virtual std::uint32_t ProbeDelete(const std::string& path) = 0;
  virtual std::uint32_t ProbeRemoveDir(const std::string& path) = 0;
  // Whether MakeDir could make a folder inside `folder`, without making
  // one: the folder is opened for adding subfolders and closed again.
  virtual std::uint32_t ProbeMakeDirIn(const std::string& folder) = 0;
  virtual std::uint32_t MakeDir(const std::string& path) = 0;
  virtual std::optional<std::uint32_t> Attributes(const std::string& path) = 0;
  virtual OpenResult Open(const std::string& path, OpenMode mode) = 0;
  virtual std::string CurrentDir() = 0;
  virtual std::string ModulePath() = 0;
  // Names compare without regard to case; nullopt when not set.
  virtual std::optional<std::string> Env(const std::string& name) = 0;
  // Opens the folder (links followed) to tell what it is; nullopt when it cannot be opened.
  virtual std::optional<FolderIdentity> Identify(const std::string& path) = 0;
  // Empty when the system has no such folder.
  virtual std::string SystemFolderPath(SystemFolder folder) = 0;
  // The system's copy routine: bytes, attributes and the last-write time.
  // With `failIfExists` an existing `to` fails with kFileExists.
  virtual std::uint32_t Copy(const std::string& from, const std::string& to, bool failIfExists) = 0;
  // A second name for the file `existing` (same volume only): its bytes,
  // attributes and times, at the cost of one call. `link` must not exist.
  virtual std::uint32_t HardLink(const std::string& existing, const std::string& link) = 0;
  // Sets the settable bits; the rest of `attributes` is ignored.
  virtual std::uint32_t SetAttributes(const std::string& path, std::uint32_t attributes) = 0;
  // nullopt when the entry cannot be reached.
  virtual std::optional<FileTimes> Times(const std::string& path) = 0;
  // A time of 0 is left as it is. Works on folders and read-only files.
  virtual std::uint32_t SetTimes(const std::string& path, const FileTimes& times) = 0;
  // A symbolic link at `path` (which must not exist) to `target`.
  virtual std::uint32_t MakeLink(const std::string& path, const std::string& target,
                                 bool folder) = 0;

  // Names the ANSI code page cannot spell go through these, by the wide
  // entry points. The long name of the entry at `path`, which may reach it
  // by its short name; nullopt when there is no such entry.
  virtual std::optional<LongName> LongNameOf(const std::string& path) = 0;
  // The attributes of the entry named `utf8Leaf` inside `folder`; nullopt
  // when there is none.
  virtual std::optional<std::uint32_t> AttributesIn(const std::string& folder,
                                                    const std::string& utf8Leaf) = 0;
  // Gives the entry at `path` the name `utf8Leaf` in the same folder, its
  // times and attributes kept; kAlreadyExists when that name is taken.
  virtual std::uint32_t Rename(const std::string& path, const std::string& utf8Leaf) = 0;

  // Conveniences built on the operations above.
  std::string EnvOrEmpty(const std::string& name) { return Env(name).value_or(std::string()); }
  bool FolderExists(const std::string& path);
  bool Exists(const std::string& path) { return Attributes(path).has_value(); }
  // `name` in the current folder, also when that is a drive's root ("F:\\").
  std::string InCurrentDir(const std::string& name);
  // Creates the folder and every missing parent; true when it exists afterwards.
  bool ForceDirectories(const std::string& path);
};

}  // namespace quenk::platform
