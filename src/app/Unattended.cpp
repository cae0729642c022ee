#include "app/Unattended.h"

#include "app/Forecast.h"
#include "app/RunStamp.h"
#include "backup/BackupFolder.h"
#include "backup/Restore.h"
#include "backup/RunBackup.h"
#include "base/Text.h"
#include "engine/Delete.h"
#include "engine/Halves.h"
#include "log/LogFiles.h"
#include "log/LogStamp.h"
#include "platform/OneRun.h"
#include "profiles/CleaningItems.h"
#include "settings/SettingsFile.h"
#include "ui/Application.h"

#include <algorithm>
#include <exception>

namespace quenk {
namespace {

struct NoProgress final : engine::Progress {
  void Advance() override {}
};

// The cleaning items the words name, each once, in their order.
std::vector<std::string> ItemsOf(const std::vector<std::string>& words) {
  std::vector<std::string> items;
  for (const auto& word : words)
    for (const auto& row : profiles::kCleaningItems)
      if (word == row.word && std::find(items.begin(), items.end(), row.name) == items.end())
        items.emplace_back(row.name);
  return items;
}

// What is wrong with each word that names no item, with a hint where only
// the letter case is off.
std::string WrongWords(const std::vector<std::string>& words) {
  std::string wrong;
  for (const auto& word : words) {
    const auto named = [&word](const auto& row) { return word == row.word; };
    if (std::any_of(profiles::kCleaningItems.begin(), profiles::kCleaningItems.end(), named))
      continue;
    std::string line = "Unknown vendor word " + word + ".";
    for (const auto& row : profiles::kCleaningItems)
      if (EqualsNoCase(word, row.word))
        line = word + ": vendor words are matched exactly; did you mean " + std::string(row.word) +
               "?";
    wrong += line + "\r\n";
  }
  return wrong;
}

void Report(MessageSink& messages, const std::string& message) {
  messages.Write(ui::Application::ReportText(message) + "\r\n");
}

int Outcome(const std::vector<std::string>& stayed) {
  return stayed.empty() ? exitcode::kDone : exitcode::kSomethingStayed;
}

std::string Count(std::size_t n) {
  return std::to_string(n);
}

// Writes one of the run's files and returns its path. Where it cannot be
// written whole, the message names it and the lists (`told`, or those of
// the file) follow on standard error: the run's record is not lost.
std::string WriteRunFile(platform::FileSystem& fs, const std::string& name,
                         const std::vector<Section>& sections, MessageSink& messages,
                         const std::vector<Section>* told = nullptr) {
  try {
    WriteLogFolderFile(fs, name, sections);
    return LogFolder(fs) + name;
  } catch (const std::exception& error) {
    Report(messages, error.what());
    for (const auto& section : told ? *told : sections) {
      std::string text = std::string(section.header) + "\r\n";
      for (const auto& line : section.lines) text += line + "\r\n";
      messages.Write(text);
    }
    return {};
  }
}

struct Ended {
  int code;
  std::string summary;
};

Ended RunRestore(platform::Ports ports, const std::string& wanted, const std::string& stamp,
                 MessageSink& messages) {
  std::string folder;
  try {
    folder = backup::FindBackup(ports.fs, wanted);
  } catch (const std::exception& error) {
    Report(messages, error.what());
    return {exitcode::kWrongLine, {}};
  }
  const backup::RestoreResult result = backup::Restore(ports, folder);
  const std::string file = WriteRunFile(
      ports.fs, stamp + " restore.txt",
      {{"[Restored]", result.restored}, {"[Not restored]", result.notRestored}}, messages);
  return {file.empty() ? exitcode::kStopped : Outcome(result.notRestored),
          "Restored " + Count(result.restored.size()) + ", not restored " +
              Count(result.notRestored.size()) + ". " +
              (file.empty() ? "No restore file was written." : "Restore file: " + file + ".")};
}

Ended RunPreview(platform::Ports ports, const std::vector<std::string>& entries,
                 const OptionFlags& flags, const std::string& stamp, MessageSink& messages) {
  NoProgress progress;
  const Forecast forecast = RunForecast(ports, entries, flags, progress);
  int code = Outcome(forecast.notDeleted);
  if (!forecast.stop.empty()) {
    Report(messages, forecast.stop);
    code = exitcode::kStopped;
  }
  std::vector<std::string> stay;
  for (std::size_t i = 0; i < forecast.notDeleted.size(); ++i)
    stay.push_back(forecast.reasons[i].empty()
                       ? forecast.notDeleted[i]
                       : forecast.notDeleted[i] + ": " + forecast.reasons[i]);
  const std::string file =
      WriteRunFile(ports.fs, stamp + " preview.txt",
                   {{"[Will be deleted]", forecast.deleted}, {"[Will stay]", stay}}, messages);
  if (file.empty()) code = exitcode::kStopped;
  return {code,
          "Will be deleted " + Count(forecast.deleted.size()) + ", will stay " +
              Count(forecast.notDeleted.size()) + ". " +
              (file.empty() ? "No preview file was written." : "Preview file: " + file + ".")};
}

Ended RunCleaning(platform::Ports ports, const std::vector<std::string>& entries,
                  const OptionFlags& flags, const std::string& stamp, MessageSink& messages) {
  NoProgress progress;
  CleaningRecord record;
  backup::RunBackup keeper(ports, backup::BackupFolder(ports.fs, stamp));
  engine::Remover remover(ports, record, progress, engine::FindHalves(ports.fs, ports.registry),
                          flags.backup ? &keeper : nullptr);
  profiles::ProfileContext ctx{ports.fs, ports.registry, remover};
  int code = exitcode::kDone;
  try {
    profiles::CleanEntries(ctx, entries, flags);
    code = Outcome(record.NotDeleted().Lines());
  } catch (const std::exception& error) {
    Report(messages, error.what());
    code = exitcode::kStopped;
  }
  // Written whatever the log flag says: it is the only record of the run.
  // Told on standard error instead, each line that stayed says why.
  const auto& deleted = record.Deleted().Lines();
  const auto& notDeleted = record.NotDeleted().Lines();
  std::vector<std::string> why;
  for (std::size_t i = 0; i < notDeleted.size(); ++i) {
    const std::string reason = record.Reason(i);
    why.push_back(reason.empty() ? notDeleted[i] : notDeleted[i] + ": " + reason);
  }
  const std::vector<Section> told{{"[Deleted]", deleted}, {"[Not deleted]", why}};
  const std::string file =
      WriteRunFile(ports.fs, stamp + ".txt",
                   {{"[Deleted]", deleted}, {"[Not deleted]", notDeleted}}, messages, &told);
  if (file.empty()) code = exitcode::kStopped;
  const bool backedUp = flags.backup && ports.fs.FolderExists(keeper.Folder());
  return {code, "Deleted " + Count(deleted.size()) + ", not deleted " + Count(notDeleted.size()) +
                    ". " + (file.empty() ? "No log file was written." : "Log file: " + file + ".") +
                    " " +
                    (backedUp ? "Backup folder: " + keeper.Folder() + "." : "No backup was made.")};
}

}  // namespace

// No column is aligned with blanks: the message box's font would break it.
// Each switch, word or code begins a line; what it means follows a tab.
std::string UsageText() {
  std::string text =
      "Quenk removes what device drivers leave behind.\r\n"
      "\r\n"
      "quenk.exe [/preview] [/silent] word...\r\n"
      "quenk.exe /restore STAMP|latest [/silent]\r\n"
      "quenk.exe /?\r\n"
      "\r\n"
      "Vendor words (letter case counts; with /silent each word must be one,\r\n"
      "without it the first five are looked at):\r\n";
  for (const auto& row : profiles::kCleaningItems)
    text += std::string(row.word) + "\t" + std::string(row.name) + "\r\n";
  text +=
      "\r\n"
      "Switches (\"/\" or \"-\", any letter case):\r\n"
      "/preview\tshow what a cleaning would delete and what would stay; delete nothing\r\n"
      "/silent\tno window, no tray icon, no message box: run, write the files, exit\r\n"
      "/restore\tput back what the cleaning of STAMP deleted (latest: the last backup)\r\n"
      "/?, /help\tthis text\r\n"
      "\r\n"
      "Exit codes with /silent:\r\n"
      "0\tdone and nothing stayed (preview: nothing would stay; restore: all restored)\r\n"
      "1\tdone and something stayed (preview: would stay; restore: skipped or failed)\r\n"
      "2\tan error stopped the run; its message goes to standard error\r\n"
      "3\tthe command line is wrong; this text goes to standard error\r\n"
      "4\tanother cleaning, preview or restore is running on this machine; nothing was done\r\n"
      "A run that ends says on standard output what it did and where its files are.\r\n"
      "\r\n"
      "Files, in the current folder: Logs\\STAMP.txt (what a cleaning deleted and not),\r\n"
      "Logs\\STAMP preview.txt, Logs\\STAMP restore.txt, Backups\\STAMP\\ (what a\r\n"
      "cleaning deleted). Settings: the program's name with \".ini\", beside it.\r\n";
  return text;
}

bool CheckLine(const Arguments& arguments, MessageSink& messages) {
  const Switches& s = arguments.switches;
  std::string wrong;
  if (!s.unknown.empty())
    wrong = "Unknown switch " + s.unknown.front() + ".\r\n";
  else if (s.restore && s.restore->empty())
    wrong = "/restore needs the stamp of a backup, or latest.\r\n";
  else if (s.restore && (s.preview || !arguments.words.empty()))
    wrong = "/restore takes no vendor words and no /preview.\r\n";
  else if (!s.restore && arguments.words.empty())
    wrong = "No vendor word.\r\n";
  else if (!s.restore)
    wrong = WrongWords(arguments.words);
  if (wrong.empty()) return true;
  messages.Write(wrong + "\r\n" + UsageText());
  return false;
}

namespace {

int RunLine(platform::Ports ports, const Arguments& arguments, MessageSink& messages,
            MessageSink& output) {
  if (arguments.switches.help) {
    messages.Write(UsageText());
    return exitcode::kDone;
  }
  if (!CheckLine(arguments, messages)) return exitcode::kWrongLine;
  std::unique_ptr<platform::HeldName> held;
  try {
    held = platform::HoldTheRun(ports);
  } catch (const platform::MachineBusy& busy) {
    Report(messages, busy.what());
    return exitcode::kBusy;
  }

  // The settings file as the window would read and write it; a preview
  // writes nothing but its forecast.
  const SettingsFile settings(ports.ini, SettingsPathFor(ports.fs.ModulePath()));
  const bool writesSettings = !arguments.switches.preview;
  const auto attributes = ports.fs.Attributes(settings.Path());
  try {
    if (writesSettings && (!attributes || (*attributes & platform::attr::kDirectory)))
      settings.WriteAll(settings.ReadAll());
  } catch (const std::exception& error) {
    Report(messages, error.what());
  }

  const OptionFlags flags = settings.ReadAll();
  const std::string stamp = FreshStamp(ports.fs, ports.locale);
  const Ended ended = arguments.switches.restore
                          ? RunRestore(ports, *arguments.switches.restore, stamp, messages)
                      : arguments.switches.preview
                          ? RunPreview(ports, ItemsOf(arguments.words), flags, stamp, messages)
                          : RunCleaning(ports, ItemsOf(arguments.words), flags, stamp, messages);

  // Written back at the end, as at every exit; a refusal is said but does
  // not change how the run went.
  try {
    if (writesSettings) settings.WriteAll(settings.ReadAll());
  } catch (const std::exception& error) {
    Report(messages, error.what());
  }
  if (!ended.summary.empty()) output.Write(ended.summary + "\r\n");
  return ended.code;
}

}  // namespace

int RunUnattended(platform::Ports ports, const Arguments& arguments, MessageSink& messages,
                  MessageSink& output) {
  // Nobody is there to answer the runtime's box for an error that got this
  // far: it ends the run as any other error does.
  try {
    return RunLine(ports, arguments, messages, output);
  } catch (const std::exception& error) {
    Report(messages, error.what());
  } catch (...) {
    Report(messages, "Unknown error");
  }
  return exitcode::kStopped;
}

}  // namespace quenk
