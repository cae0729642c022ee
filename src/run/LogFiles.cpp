#include "run/LogFiles.h"

#include "base/IoError.h"
#include "platform/Paths.h"
#include "run/LogStamp.h"

namespace quenk {
namespace {

constexpr std::string_view kDeletedHeader = "[Deleted]";
constexpr std::string_view kNotDeletedHeader = "[Not deleted]";

std::vector<std::string> ReadLogLines(platform::FileSystem& fs, const std::string& logName) {
  const std::string path = LogPath(fs, logName);
  auto opened = fs.Open(path, platform::OpenMode::kRead);
  if (opened.error) throw IoError(opened.error, path);
  std::string bytes;
  if (const std::uint32_t error = opened.file->ReadAll(bytes)) throw IoError(error, path);
  if (const std::uint32_t error = opened.file->Close()) throw IoError(error, path);
  return SplitLogLines(bytes);
}

}  // namespace

std::string LogFolder(platform::FileSystem& fs) {
  return fs.InCurrentDir("Logs\\");
}

std::string LogPath(platform::FileSystem& fs, const std::string& logName) {
  return LogFolder(fs) + logName + ".txt";
}

void SaveLogFile(platform::FileSystem& fs, platform::Locale& locale, const CleaningRecord& record) {
  WriteLogFolderFile(fs, LogStamp(locale.Regional(), locale.Now()) + ".txt",
                     {{kDeletedHeader, record.Deleted().Lines()},
                      {kNotDeletedHeader, record.NotDeleted().Lines()}},
                     Existing::kReplace);
}

void SaveLogFile(platform::FileSystem& fs, const std::string& stamp, const CleaningRecord& record) {
  WriteLogFolderFile(fs, stamp + ".txt",
                     {{kDeletedHeader, record.Deleted().Lines()},
                      {kNotDeletedHeader, record.NotDeleted().Lines()}});
}

void WriteLogFolderFile(platform::FileSystem& fs, const std::string& name,
                        const std::vector<Section>& sections, Existing existing) {
  const std::string folder = LogFolder(fs);
  if (!fs.FolderExists(folder)) fs.ForceDirectories(folder);
  const std::string path = folder + name;
  auto opened = fs.Open(path, existing == Existing::kReplace ? platform::OpenMode::kRewrite
                                                             : platform::OpenMode::kCreateNew);
  if (opened.error) throw IoError(opened.error, path);

  std::string text;
  auto add = [&text](std::string_view line) {
    text += line;
    text += "\r\n";
  };
  for (const auto& section : sections) {
    add(section.header);
    for (const auto& line : section.lines) add(line);
  }
  std::uint32_t error = opened.file->Write(text);
  if (const std::uint32_t closed = opened.file->Close(); !error) error = closed;
  if (error) {
    // Cut short, it would pass for the whole record when read back.
    fs.Delete(path);
    throw IoError(error, path);
  }
}

void FillOlderLogs(platform::FileSystem& fs, StringList& logs) {
  std::vector<std::string> names;
  auto search = fs.Find(LogFolder(fs) + "*.txt", platform::attr::kAnyFile);
  platform::FindEntry entry;
  while (search->Next(entry)) {
    if (platform::IsDotName(entry.name)) continue;
    names.push_back(entry.name.size() > 4 ? entry.name.substr(0, entry.name.size() - 4) : "");
  }
  logs.Assign(std::move(names));
}

void ReadDeletedSection(platform::FileSystem& fs, const std::string& logName, StringList& list) {
  list.Clear();
  std::vector<std::string> lines;
  for (auto& line : ReadLogLines(fs, logName)) {
    if (line == kNotDeletedHeader) break;
    if (line != kDeletedHeader) lines.push_back(std::move(line));
  }
  list.Assign(std::move(lines));
}

void ReadNotDeletedSection(platform::FileSystem& fs, const std::string& logName, StringList& list) {
  list.Clear();
  std::vector<std::string> lines;
  bool inSection = false;
  for (auto& line : ReadLogLines(fs, logName)) {
    if (line == kNotDeletedHeader)
      inSection = true;
    else if (inSection)
      lines.push_back(std::move(line));
  }
  list.Assign(std::move(lines));
}

void DeleteLogFile(platform::FileSystem& fs, const std::string& logName) {
  fs.Delete(LogPath(fs, logName));
}

std::vector<std::string> SplitLogLines(std::string_view bytes) {
  if (const std::size_t eof = bytes.find('\x1A'); eof != std::string_view::npos)
    bytes = bytes.substr(0, eof);
  std::vector<std::string> lines;
  std::string line;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c == '\n') {
      lines.push_back(std::move(line));
      line.clear();
    } else if (c != '\r') {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(std::move(line));
  return lines;
}

}  // namespace quenk
