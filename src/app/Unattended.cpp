#include "app/Unattended.h"

#include "app/Forecast.h"
#include "app/RunStamp.h"
#include "backup/BackupFolder.h"
#include "backup/Restore.h"
#include "backup/RunBackup.h"
#include "engine/Delete.h"
#include "engine/Halves.h"
#include "log/LogFiles.h"
#include "log/LogStamp.h"
#include "profiles/CleaningItems.h"
#include "settings/SettingsFile.h"
#include "ui/Application.h"

#include <exception>

namespace quenk {
namespace {

struct NoProgress final : engine::Progress {
  void Advance() override {}
};

// The cleaning items the first five words name, in their order.
std::vector<std::string> ItemsOf(const std::vector<std::string>& words) {
  std::vector<std::string> items;
  for (std::size_t i = 0; i < words.size() && i < 5; ++i)
    for (const auto& row : profiles::kCleaningItems)
      if (words[i] == row.word) items.emplace_back(row.name);
  return items;
}

void Report(MessageSink& messages, const std::string& message) {
  messages.Write(ui::Application::ReportText(message) + "\r\n");
}

int Outcome(const std::vector<std::string>& stayed) {
  return stayed.empty() ? exitcode::kDone : exitcode::kSomethingStayed;
}

}  // namespace

std::string UsageText() {
  std::string text =
      "Quenk removes what device drivers leave behind.\r\n"
      "\r\n"
      "  quenk.exe [/preview] [/silent] word...\r\n"
      "  quenk.exe /restore STAMP|latest [/silent]\r\n"
      "  quenk.exe /?\r\n"
      "\r\n"
      "Vendor words (up to five, letter case counts):\r\n";
  for (const auto& row : profiles::kCleaningItems) {
    std::string word(row.word);
    word.resize(16, ' ');
    text += "  " + word + std::string(row.name) + "\r\n";
  }
  text +=
      "\r\n"
      "Switches (\"/\" or \"-\", any letter case):\r\n"
      "  /preview   show what a cleaning would delete and what would stay; delete nothing\r\n"
      "  /silent    no window, no tray icon, no message box: run, write the files, exit\r\n"
      "  /restore   put back what the cleaning of STAMP deleted (latest: the last backup)\r\n"
      "  /?, /help  this text\r\n"
      "\r\n"
      "Exit codes with /silent:\r\n"
      "  0  done and nothing stayed (preview: nothing would stay; restore: all restored)\r\n"
      "  1  done and something stayed (preview: would stay; restore: skipped or failed)\r\n"
      "  2  an error stopped the run; its message goes to standard error\r\n"
      "  3  the command line is wrong; this text goes to standard error\r\n"
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
    wrong = "Unknown switch " + s.unknown.front();
  else if (s.restore && s.restore->empty())
    wrong = "/restore needs the stamp of a backup, or latest";
  else if (s.restore && (s.preview || !arguments.words.empty()))
    wrong = "/restore takes no vendor words and no /preview";
  else if (!s.restore && ItemsOf(arguments.words).empty())
    wrong = "No vendor word among the first five arguments";
  if (wrong.empty()) return true;
  messages.Write(wrong + ".\r\n\r\n" + UsageText());
  return false;
}

namespace {

int RunLine(platform::Ports ports, const Arguments& arguments, MessageSink& messages) {
  if (arguments.switches.help) {
    messages.Write(UsageText());
    return exitcode::kDone;
  }
  if (!CheckLine(arguments, messages)) return exitcode::kWrongLine;

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

  const std::vector<std::string> entries = ItemsOf(arguments.words);
  const OptionFlags flags = settings.ReadAll();
  const std::string stamp = FreshStamp(ports.fs, ports.locale);
  NoProgress progress;
  int code = exitcode::kDone;
  if (const auto& wanted = arguments.switches.restore) {
    std::string folder;
    try {
      folder = backup::FindBackup(ports.fs, *wanted);
    } catch (const std::exception& error) {
      Report(messages, error.what());
      code = exitcode::kWrongLine;
    }
    if (!folder.empty()) {
      const backup::RestoreResult result = backup::Restore(ports, folder);
      code = Outcome(result.notRestored);
      try {
        WriteLogFolderFile(
            ports.fs, stamp + " restore.txt",
            {{"[Restored]", result.restored}, {"[Not restored]", result.notRestored}});
      } catch (const std::exception& error) {
        Report(messages, error.what());
        code = exitcode::kStopped;
      }
    }
  } else if (arguments.switches.preview) {
    const Forecast forecast = RunForecast(ports, entries, flags, progress);
    code = Outcome(forecast.notDeleted);
    if (!forecast.stop.empty()) {
      Report(messages, forecast.stop);
      code = exitcode::kStopped;
    }
    try {
      WriteLogFolderFile(
          ports.fs, stamp + " preview.txt",
          {{"[Will be deleted]", forecast.deleted}, {"[Will stay]", forecast.notDeleted}});
    } catch (const std::exception& error) {
      Report(messages, error.what());
      code = exitcode::kStopped;
    }
  } else {
    CleaningRecord record;
    backup::RunBackup keeper(ports, backup::BackupFolder(ports.fs, stamp));
    engine::Remover remover(ports, record, progress, engine::FindHalves(ports.fs, ports.registry),
                            flags.backup ? &keeper : nullptr);
    profiles::ProfileContext ctx{ports.fs, ports.registry, remover};
    try {
      profiles::CleanEntries(ctx, entries, flags);
      code = Outcome(record.NotDeleted().Lines());
    } catch (const std::exception& error) {
      Report(messages, error.what());
      code = exitcode::kStopped;
    }
    // Written whatever the log flag says: it is the only record of the run.
    try {
      SaveLogFile(ports.fs, stamp, record);
    } catch (const std::exception& error) {
      Report(messages, error.what());
      code = exitcode::kStopped;
    }
  }

  // Written back at the end, as at every exit; a refusal is said but does
  // not change how the run went.
  try {
    if (writesSettings) settings.WriteAll(settings.ReadAll());
  } catch (const std::exception& error) {
    Report(messages, error.what());
  }
  return code;
}

}  // namespace

int RunUnattended(platform::Ports ports, const Arguments& arguments, MessageSink& messages) {
  // Nobody is there to answer the runtime's box for an error that got this
  // far: it ends the run as any other error does.
  try {
    return RunLine(ports, arguments, messages);
  } catch (const std::exception& error) {
    Report(messages, error.what());
  } catch (...) {
    Report(messages, "Unknown error");
  }
  return exitcode::kStopped;
}

}  // namespace quenk
