#include "log/LogFiles.h"

#include "base/IoError.h"
#include "log/LogStamp.h"

namespace quenk {
namespace {

constexpr std::string_view kDeletedHeader = "[Deleted]";
constexpr std::string_view kNotDeletedHeader = "[Not deleted]";

std::vector<std::string> ReadLogLines(platform::FileSystem& fs, const std::string& logName) {
  auto opened = fs.Open(LogPath(fs, logName), platform::OpenMode::kRead);
  if (opened.error) throw IoError(opened.error);
  std::string bytes;
  if (const std::uint32_t error = opened.file->ReadAll(bytes)) throw IoError(error);
  if (const std::uint32_t error = opened.file->Close()) throw IoError(error);
  return SplitLogLines(bytes);
}

}  // namespace

std::string LogFolder(platform::FileSystem& fs) {
  return fs.CurrentDir() + "\\Logs\\";
}

std::string LogPath(platform::FileSystem& fs, const std::string& logName) {
  return LogFolder(fs) + logName + ".txt";
}

void SaveLogFile(platform::FileSystem& fs, platform::Locale& locale, const CleaningRecord& record) {
  SaveLogFile(fs, LogStamp(locale.Regional(), locale.Now()), record);
}

void SaveLogFile(platform::FileSystem& fs, const std::string& stamp, const CleaningRecord& record) {
  const std::string folder = LogFolder(fs);
  if (!fs.FolderExists(folder)) fs.ForceDirectories(folder);
  const std::string path = folder + stamp + ".txt";
  // Made empty first the way the file was always made; a failure here shows
  // up, with its real reason, when the file is opened for writing.
  if (auto created = fs.Open(path, platform::OpenMode::kCreateExclusive); created.file)
    created.file->Close();
  auto opened = fs.Open(path, platform::OpenMode::kRewrite);
  if (opened.error) throw IoError(opened.error);

  std::string text;
  auto add = [&text](std::string_view line) {
    text += line;
    text += "\r\n";
  };
  add(kDeletedHeader);
  for (const auto& line : record.Deleted()) add(line);
  add(kNotDeletedHeader);
  for (const auto& line : record.NotDeleted()) add(line);
  if (const std::uint32_t error = opened.file->Write(text)) throw IoError(error);
  if (const std::uint32_t error = opened.file->Close()) throw IoError(error);
}

void FillOlderLogs(platform::FileSystem& fs, StringList& logs) {
  std::vector<std::string> names;
  auto search = fs.Find(LogFolder(fs) + "*.txt", platform::attr::kAnyFile);
  platform::FindEntry entry;
  while (search->Next(entry)) {
    if (entry.name == "." || entry.name == "..") continue;
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
