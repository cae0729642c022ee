#include "app/Unattended.h"

#include "app/JsonRun.h"
#include "backup/BackupFolder.h"
#include "backup/Restore.h"
#include "base/ReportText.h"
#include "platform/OneRun.h"
#include "run/ProfileCheck.h"
#include "run/CleaningRun.h"
#include "run/LogFiles.h"
#include "run/RunStamp.h"
#include "run/Words.h"
#include "QuenkVersion.h"

#include <exception>
#include <functional>

namespace quenk {
namespace {

struct NoProgress final : engine::Progress {
  void Advance() override {}
};

void Report(MessageSink& messages, const std::string& message) {
  messages.Write(ReportText(message) + "\r\n");
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
  // The run's lists for /json, made only when asked for.
  std::function<RunReport()> report = [] { return RunReport{}; };
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
              (file.empty() ? "No restore file was written." : "Restore file: " + file + "."),
          [&fs = ports.fs, result, folder, file] {
            return RunReport{.logFile = file,
                             .backup = folder,
                             .lists = RunLists(fs, folder, "restored", result.restored,
                                               "notRestored", result.notRestored, nullptr)};
          }};
}

void TellSkipped(const run::RunEnd& end, MessageSink& messages) {
  for (const auto& line : end.skipped) messages.Write(line + "\r\n");
}

// Whether each line the run left stays only until the next restart.
bool RestartTakesTheRest(const CleaningRecord& record, std::size_t from) {
  for (std::size_t i = from; i < record.NotDeleted().Size(); ++i)
    if (!GoneAfterRestart(record.Reason(i))) return false;
  return true;
}

Ended RunPreview(platform::Ports ports, const profiles::Catalog& catalog,
                 const std::vector<std::string>& entries, const OptionFlags& flags,
                 const std::string& stamp, MessageSink& messages) {
  NoProgress progress;
  CleaningRecord forecast;
  const run::RunEnd end =
      run::CleaningRun({ports, entries, flags, stamp, run::Mode::kForecast, &catalog})
          .Perform(forecast, progress);
  TellSkipped(end, messages);
  const auto& deleted = forecast.Deleted().Lines();
  const auto& stay = forecast.NotDeleted().Lines();
  int code = Outcome(stay);
  if (!end.Completed()) {
    Report(messages, end.stop);
    code = exitcode::kStopped;
  }
  // The file says beside each line that would stay why it would.
  std::vector<std::string> told;
  const auto reasons = forecast.Reasons();
  for (std::size_t i = 0; i < stay.size(); ++i)
    told.push_back(reasons[i].empty() ? stay[i] : stay[i] + ": " + reasons[i]);
  const std::string file =
      WriteRunFile(ports.fs, stamp + " preview.txt",
                   {{"[Will be deleted]", deleted}, {"[Will stay]", told}}, messages);
  if (file.empty()) code = exitcode::kStopped;
  return {code,
          "Will be deleted " + Count(deleted.size()) + ", will stay " + Count(stay.size()) + ". " +
              (file.empty() ? "No preview file was written." : "Preview file: " + file + "."),
          [&fs = ports.fs, deleted, stay, reasons = forecast.Reasons(), file] {
            return RunReport{
                .logFile = file,
                .lists = RunLists(fs, {}, "willBeDeleted", deleted, "willStay", stay, &reasons)};
          }};
}

Ended RunCleaning(platform::Ports ports, const profiles::Catalog& catalog,
                  const std::vector<std::string>& entries, const OptionFlags& flags,
                  const std::string& stamp, CleaningRecord& record, MessageSink& messages) {
  NoProgress progress;
  const std::size_t notDeletedBefore = record.NotDeleted().Size();
  const run::RunEnd end =
      run::CleaningRun({ports, entries, flags, stamp, run::Mode::kClean, &catalog})
          .Perform(record, progress);
  TellSkipped(end, messages);
  int code = Outcome(record.NotDeleted().Lines());
  if (end.restartNeeded && RestartTakesTheRest(record, notDeletedBefore))
    code = exitcode::kRestartNeeded;
  if (!end.Completed()) {
    Report(messages, end.stop);
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
  const std::string& backup = end.backupFolder;
  return {code,
          "Deleted " + Count(deleted.size()) + ", not deleted " + Count(notDeleted.size()) + ". " +
              (end.restartNeeded ? "Restart Windows to finish. " : "") +
              (file.empty() ? "No log file was written." : "Log file: " + file + ".") + " " +
              (backup.empty() ? "No backup was made." : "Backup folder: " + backup + "."),
          [&fs = ports.fs, deleted, notDeleted, reasons = record.Reasons(), backup, file,
           restart = end.restartNeeded] {
            return RunReport{.logFile = file,
                             .backup = backup,
                             .lists = RunLists(fs, backup, "deleted", deleted, "notDeleted",
                                               notDeleted, &reasons),
                             .restartNeeded = restart};
          }};
}

}  // namespace

// No column is aligned with blanks: the message box's font would break it.
// Each switch, word or code begins a line; what it means follows a tab.
std::string UsageText(const profiles::Catalog& catalog) {
  std::string text = "Quenk removes what device drivers leave behind. Version " QUENK_VERSION
                     ".\r\n"
                     "\r\n"
                     "quenk.exe [/preview] [/silent [/json]] word...\r\n"
                     "quenk.exe /restore STAMP|latest [/silent [/json]]\r\n"
                     "quenk.exe /check FILE... [/silent]\r\n"
                     "quenk.exe /?\r\n"
                     "\r\n"
                     "Vendor words (letter case counts; with /silent each word must be one,\r\n"
                     "without it the first five are looked at):\r\n";
  for (const auto& row : catalog.Items()) {
    text += std::string(row.word) + "\t" + std::string(row.name);
    if (!row.item) text += " (" + row.profile->file + ")";
    text += "\r\n";
  }
  text +=
      "\r\n"
      "Switches (\"/\" or \"-\", any letter case):\r\n"
      "/preview\tshow what a cleaning would delete and what would stay; delete nothing\r\n"
      "/silent\tno window, no tray icon, no message box: run, write the files, exit\r\n"
      "/restore\tput back what the cleaning of STAMP deleted (latest: the last backup)\r\n"
      "/check\tcheck the profile files FILE... as the program would load them from its\r\n"
      "Profiles folder; change nothing (with /silent the verdicts go to standard output)\r\n"
      "/json\twith /silent: the result as one JSON document on standard output, and in the\r\n"
      "log folder beside the run's text file (.json for .txt)\r\n"
      "/?, /help\tthis text\r\n"
      "\r\n"
      "Exit codes with /silent:\r\n"
      "0\tdone and nothing stayed (preview: nothing would stay; restore: all restored)\r\n"
      "1\tdone and something stayed (preview: would stay; restore: skipped or failed)\r\n"
      "2\tan error stopped the run; its message goes to standard error\r\n"
      "3\tthe command line is wrong; this text goes to standard error (/check: a file\r\n"
      "would not load)\r\n"
      "4\tanother cleaning, preview or restore is running on this machine; nothing was done\r\n"
      "3010\tdone; what stayed goes at the next restart, or the system asked for one\r\n"
      "A run that ends says on standard output what it did and where its files are\r\n"
      "(with /json: the JSON document only).\r\n"
      "\r\n"
      "Files, in the current folder: Logs\\STAMP.txt (what a cleaning deleted and not),\r\n"
      "Logs\\STAMP preview.txt, Logs\\STAMP restore.txt, Backups\\STAMP\\ (what a\r\n"
      "cleaning deleted). Settings: the program's name with \".ini\", beside it.\r\n"
      "Profiles: each *.toml file in the folder Profiles beside the program adds a vendor "
      "word.\r\n";
  return text;
}

bool CheckLine(const profiles::Catalog& catalog, const Arguments& arguments,
               MessageSink& messages) {
  const Switches& s = arguments.switches;
  std::string wrong;
  if (!s.unknown.empty())
    wrong = "Unknown switch " + s.unknown.front() + ".\r\n";
  else if (s.check && (s.restore || s.preview || s.json))
    wrong = "/check takes no /restore, /preview or /json.\r\n";
  else if (s.check && arguments.words.empty())
    wrong = "/check needs the profile files to check.\r\n";
  else if (s.check)
    return true;
  else if (s.restore && s.restore->empty())
    wrong = "/restore needs the stamp of a backup, or latest.\r\n";
  else if (s.restore && (s.preview || !arguments.words.empty()))
    wrong = "/restore takes no vendor words and no /preview.\r\n";
  else if (!s.restore && arguments.words.empty())
    wrong = "No vendor word.\r\n";
  else if (!s.restore)
    wrong = run::WrongWords(catalog, arguments.words);
  if (wrong.empty()) return true;
  messages.Write(wrong + "\r\n" + UsageText(catalog));
  return false;
}

namespace {

int RunLine(platform::Ports ports, run::Session& session, const Arguments& arguments,
            MessageSink& messages, MessageSink& output) {
  const profiles::Catalog& catalog = session.catalog;
  if (!arguments.switches.check)
    for (const auto& line : session.ProfileReport()) messages.Write(line + "\r\n");
  if (arguments.switches.help) {
    messages.Write(UsageText(catalog));
    return exitcode::kDone;
  }
  if (!CheckLine(catalog, arguments, messages)) return exitcode::kWrongLine;
  if (arguments.switches.check) {
    const run::ProfileCheck check =
        run::CheckProfileFiles(ports.fs, ports.locale.AnsiCodePage(), arguments.words, catalog,
                               run::ProfilesFolderFor(ports.fs.ModulePath()));
    output.Write(check.text);
    return check.sound ? exitcode::kDone : exitcode::kWrongLine;
  }
  std::unique_ptr<platform::HeldName> held;
  try {
    held = platform::HoldTheRun(ports);
  } catch (const platform::MachineBusy& busy) {
    Report(messages, busy.what());
    return exitcode::kBusy;
  }

  // The settings file as the window would read and write it; a preview
  // writes nothing but its forecast.
  const SettingsFile& settings = session.settings;
  const bool writesSettings = !arguments.switches.preview;
  const auto attributes = ports.fs.Attributes(settings.Path());
  try {
    if (writesSettings && (!attributes || (*attributes & platform::attr::kDirectory)))
      settings.WriteAll(settings.ReadAll());
  } catch (const std::exception& error) {
    Report(messages, error.what());
  }

  session.LoadSettings();
  const OptionFlags& flags = session.flags;
  const std::string stamp = FreshStamp(ports.fs, ports.locale);
  const auto items = run::SilentItems(catalog, arguments.words);
  const Ended ended =
      arguments.switches.restore ? RunRestore(ports, *arguments.switches.restore, stamp, messages)
      : arguments.switches.preview
          ? RunPreview(ports, catalog, items, flags, stamp, messages)
          : RunCleaning(ports, catalog, items, flags, stamp, session.record, messages);

  // Written back at the end, as at every exit; a refusal is said but does
  // not change how the run went.
  try {
    if (writesSettings) settings.WriteAll(settings.ReadAll());
  } catch (const std::exception& error) {
    Report(messages, error.what());
  }
  if (arguments.switches.json) {
    RunReport report = ended.report();
    report.stamp = stamp;
    report.mode = arguments.switches.restore   ? "restore"
                  : arguments.switches.preview ? "preview"
                                               : "clean";
    if (!arguments.switches.restore) report.items = items;
    report.exitCode = ended.code;
    const std::string suffix = arguments.switches.restore   ? " restore.json"
                               : arguments.switches.preview ? " preview.json"
                                                            : ".json";
    const std::string failed = PublishJsonReport(ports, report, stamp + suffix, output);
    if (!failed.empty()) Report(messages, failed);
  } else if (!ended.summary.empty()) {
    output.Write(ended.summary + "\r\n");
  }
  return ended.code;
}

}  // namespace

int RunUnattended(platform::Ports ports, run::Session& session, const Arguments& arguments,
                  MessageSink& messages, MessageSink& output) {
  // Nobody is there to answer the runtime's box for an error that got this
  // far: it ends the run as any other error does.
  try {
    return RunLine(ports, session, arguments, messages, output);
  } catch (const std::exception& error) {
    Report(messages, error.what());
  } catch (...) {
    Report(messages, "Unknown error");
  }
  return exitcode::kStopped;
}

}  // namespace quenk
