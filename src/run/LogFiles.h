#pragma once

#include "base/StringList.h"
#include "engine/CleaningRecord.h"
#include "platform/FileSystem.h"
#include "platform/Locale.h"

#include <string>
#include <string_view>
#include <vector>

namespace quenk {

// Log files live in "Logs" below the current folder, taken anew each time.
std::string LogFolder(platform::FileSystem& fs);
std::string LogPath(platform::FileSystem& fs, const std::string& logName);

// Writes the record to <log folder><stamp>.txt: "[Deleted]", its lines,
// "[Not deleted]", its lines, each ended by CR LF, replacing a file of the
// same stamp. Throws IoError.
void SaveLogFile(platform::FileSystem& fs, platform::Locale& locale, const CleaningRecord& record);
// The same under the stamp of a run (FreshStamp), as a new file.
void SaveLogFile(platform::FileSystem& fs, const std::string& stamp, const CleaningRecord& record);

// A text file in the log folder named `name` ("<stamp> preview.txt"): each
// section's header line, then its lines, each ended by CR LF, like a log
// file. The folder is made when missing. A run's file is new: one that is
// there is another run's and stays as it is. Throws IoError naming the path;
// a file that could not be written whole is not left behind.
struct Section {
  std::string_view header;
  const std::vector<std::string>& lines;
};
enum class Existing { kKeep, kReplace };
void WriteLogFolderFile(platform::FileSystem& fs, const std::string& name,
                        const std::vector<Section>& sections, Existing existing = Existing::kKeep);

// Replaces `logs` with the names of the *.txt entries of the log folder,
// each without its last four characters, in the order they are listed.
void FillOlderLogs(platform::FileSystem& fs, StringList& logs);

// Replace `list` with a section of a log file. Throw IoError; the list is
// emptied first and stays empty then.
void ReadDeletedSection(platform::FileSystem& fs, const std::string& logName, StringList& list);
void ReadNotDeletedSection(platform::FileSystem& fs, const std::string& logName, StringList& list);

// The outcome is not looked at: a log file that stays simply shows up again.
void DeleteLogFile(platform::FileSystem& fs, const std::string& logName);

// A log file's lines as a text reader sees them: a line ends at LF (a CR
// before it is dropped), a lone CR is dropped, Ctrl-Z ends the file.
std::vector<std::string> SplitLogLines(std::string_view bytes);

}  // namespace quenk
