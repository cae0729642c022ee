#include "ForwardingFileSystem.h"
#include "JsonSchema.h"
#include "ProfileFixture.h"

#include "QuenkVersion.h"
#include "app/JsonReport.h"
#include "app/JsonRun.h"
#include "app/Unattended.h"
#include "base/Text.h"
#include "run/LogFiles.h"
#include "platform/sim/Latin1.h"

#include <nlohmann/json.hpp>

namespace quenk::test {
namespace {

using nlohmann::json;

struct Messages final : MessageSink {
  std::string text;
  void Write(std::string_view t) override { text += t; }
};

class JsonReports : public ProfileFixture {
 protected:
  JsonReports() {
    machine.fs.AddFolder("C:\\Quenk");
    machine.fs.AddFolder("C:\\Work");
    machine.fs.SetCurrentDir("C:\\Work");
  }
  int Run(const std::vector<std::string>& line, platform::FileSystem* fs = nullptr) {
    messages.text.clear();
    output.text.clear();
    const platform::Ports ports{fs ? *fs : machine.fs, machine.registry, machine.ini,
                                machine.locale,        machine.shell,    &machine.locks};
    run::Session session(ports);
    return RunUnattended(ports, session, ParseArguments(line), messages, output);
  }
  std::string Logged(const std::string& name) {
    return machine.fs.ReadFile("C:\\Work\\Logs\\" + name);
  }
  Messages messages;
  Messages output;
};

// The lines of one list of a document, as the log file words them.
std::vector<std::string> Paths(const json& doc, const std::string& list, bool withReason) {
  std::vector<std::string> lines;
  for (const auto& e : doc.at(list)) {
    std::string line = e.at("path");
    const std::string reason = e.value("reason", "");
    if (withReason && !reason.empty()) line += ": " + reason;
    lines.push_back(line);
  }
  return lines;
}

// Each run's JSON against its text file, line for line: the same entries in
// the same order, on standard output and in the file beside the log alike.
TEST_F(JsonReports, TheDocumentListsWhatTheLogFileLists) {
  const std::string eight = kSys + "CTAGENT\xE4 \xE9.dll";  // Latin-1 in the simulation
  Files({kSys + "CTAGENT.EXE", kDrv + "ctaud2k.sys", eight});
  machine.fs.AddFile(kSys + "ctzap.dll", "", platform::attr::kReadOnly);
  machine.fs.AddFile("C:\\Program Files\\InstallShield Installation Information\\{C-1}\\setup.ini",
                     "[Startup]\r\nCompanyName=Creative\r\n");
  Keys(platform::kLocalMachine, {"Software\\Creative Tech\\x"});
  const struct {
    std::vector<std::string> line;
    const char* suffix;
    const char* mode;
    const char* gone;
    const char* stayed;
    bool reasonsInLog;  // a preview's and a restore's file give the reason on each line
  } cases[] = {
      {{"/silent", "/json", "/preview", "Creative"},
       " preview",
       "preview",
       "willBeDeleted",
       "willStay",
       true},
      {{"/json", "Creative", "/silent"}, "", "clean", "deleted", "notDeleted", false},
      {{"/silent", "/restore", "latest", "/JSON"},
       " restore",
       "restore",
       "restored",
       "notRestored",
       true},
  };
  for (const auto& c : cases) {
    const int code = Run(c.line);
    EXPECT_EQ(messages.text, "") << c.mode;
    ASSERT_EQ(output.text.find("\r\n"), output.text.size() - 2) << "one line: " << output.text;
    const json doc = json::parse(output.text);
    EXPECT_EQ(schema::Problems(doc), std::vector<std::string>{}) << doc.dump(2);
    const std::string stamp = doc["stamp"];
    EXPECT_EQ(Logged(stamp + c.suffix + ".json"), output.text) << c.mode;
    EXPECT_EQ(doc["mode"], c.mode);
    EXPECT_EQ(doc["exitCode"], code) << c.mode;
    EXPECT_EQ(doc["version"], QUENK_VERSION);
    EXPECT_EQ(doc["machine"], "SIMULATED-PC");
    EXPECT_EQ(doc["logFile"], "C:\\Work\\Logs\\" + stamp + c.suffix + ".txt");

    const auto lines = SplitLogLines(Logged(stamp + c.suffix + ".txt"));
    std::vector<std::string> fromJson{lines.at(0)};
    for (const auto& l : Paths(doc, c.gone, false)) fromJson.push_back(l);
    fromJson.push_back(lines.at(fromJson.size()));
    for (const auto& l : Paths(doc, c.stayed, c.reasonsInLog)) fromJson.push_back(l);
    std::vector<std::string> logged;
    for (const auto& l : lines) logged.push_back(sim::Latin1ToUtf8(l));
    EXPECT_EQ(fromJson, logged) << c.mode;
    std::vector<std::string> kinds;
    for (const auto& e : doc[c.gone]) kinds.push_back(e["kind"]);
    EXPECT_EQ(kinds, (std::vector<std::string>{"file", "file", "file", "folder", "key"})) << c.mode;
  }
}

TEST_F(JsonReports, KindsAndReasons) {
  Files({kSys + "CTAGENT.EXE"});
  machine.fs.AddFile(kSys + "ctzap.dll", "", platform::attr::kReadOnly);
  machine.fs.AddFile(kSys + "CTHELPER.dll").inUse = true;
  Keys(platform::kLocalMachine, {"Software\\Creative Tech"});
  ASSERT_EQ(Run({"/silent", "/json", "Creative"}), exitcode::kSomethingStayed);
  const json doc = json::parse(output.text);
  EXPECT_EQ(doc["deleted"][0], json({{"kind", "file"}, {"path", kSys + "CTAGENT.EXE"}}));
  EXPECT_EQ(doc["deleted"][1], json({{"kind", "key"}, {"path", "HKLM\\Software\\Creative Tech"}}));
  EXPECT_EQ(doc["notDeleted"][0]["reason"], "in use");
  EXPECT_EQ(doc["notDeleted"][1]["reason"], "read-only");
  EXPECT_EQ(doc["restartNeeded"], true);

  // What is left is told by what the run knows of it.
  machine.fs.AddFolder("C:\\Windows\\System32\\DriverStore\\FileRepository\\nv.inf_1\\x");
  machine.fs.AddFolder("C:\\Gone\\Here");
  EntryKinds kinds(machine.fs, doc["backup"].get<std::string>());
  const struct {
    std::string line;
    const char* kind;
  } lines[] = {
      {kSys + "CTAGENT.EXE", "file"},  // in the backup
      {"HKLM\\Software\\Creative Tech", "key"},
      {"HKLM\\System\\CurrentControlSet\\Services\\nvlddmkm", "service"},
      {"HKLM\\System\\ControlSet002\\Services\\nvlddmkm", "service"},
      {"HKLM\\System\\CurrentControlSet\\Services\\nvlddmkm\\Parameters", "key"},
      {"HKLM\\Software\\x [InstallDir]", "value"},
      {"C:\\Windows\\System32\\DriverStore\\FileRepository\\nv.inf_1", "package"},
      {"C:\\Gone\\Here", "folder"},         // there now
      {"C:\\Gone\\nothing.sys", "file"},    // by its name
      {"C:\\Gone\\Installer", "folder"},    // by its name
      {"\\\\?\\C:\\Gone\\Here", "folder"},  // the literal form
  };
  for (const auto& l : lines) EXPECT_EQ(kinds.Of(l.line), l.kind) << l.line;
}

// Whatever bytes a path holds, the document is valid JSON and gives back
// the same text: control characters, quotes, backslashes, every 8-bit byte.
TEST(JsonReport, EveryByteRoundTrips) {
  std::string every;
  for (int c = 1; c < 256; ++c) every += static_cast<char>(c);
  const std::vector<std::string> paths{"C:\\a\"b\\\\c", "HKLM\\Software\\tab\there\nnew\rline",
                                       "\x7F\x1B[0m", every, "C:\\\xE4\xF6\xFC\xDF \xA9\xFF.dll"};
  RunReport report;
  report.stamp = "12-7-2026-3-40-57 PM";
  report.mode = "clean";
  report.machine = "PC-\xC4";
  report.lists.push_back({"deleted", {}});
  report.lists.push_back({"notDeleted", {}});
  for (const auto& p : paths) {
    report.lists[0].entries.push_back({"file", p, std::nullopt});
    report.lists[1].entries.push_back({"key", p, p});
  }
  const std::string text = FormatJsonReport(report, sim::Latin1ToUtf8);
  EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos);
  const json doc = json::parse(text);
  EXPECT_EQ(doc["machine"], "PC-\xC3\x84");
  for (std::size_t i = 0; i < paths.size(); ++i) {
    EXPECT_EQ(doc["deleted"][i]["path"], sim::Latin1ToUtf8(paths[i])) << i;
    EXPECT_EQ(doc["notDeleted"][i]["reason"], sim::Latin1ToUtf8(paths[i])) << i;
  }
  // A converter that lets a byte through that is not UTF-8 still gives JSON.
  const std::string raw = FormatJsonReport(report, [](const std::string& s) { return s; });
  EXPECT_NO_THROW(json::parse(raw));
}

// A JSON file that cannot be written changes neither the exit code nor the
// log; standard error says so, and standard output still has the document.
TEST_F(JsonReports, AFileThatCannotBeWrittenIsSaidOnly) {
  struct NoJson : ForwardingFileSystem {
    using ForwardingFileSystem::ForwardingFileSystem;
    platform::OpenResult Open(const std::string& p, platform::OpenMode m) override {
      if (EndsWith(p, ".json")) return {platform::err::kAccessDenied, nullptr};
      return ForwardingFileSystem::Open(p, m);
    }
  } fs(machine.fs);
  for (const std::vector<std::string>& line :
       {std::vector<std::string>{"/silent", "/json", "Creative"},
        {"/silent", "/json", "/preview", "Creative"}}) {
    Files({kSys + "CTAGENT.EXE"});
    EXPECT_EQ(Run(line, &fs), exitcode::kDone) << line[2];
    EXPECT_NE(messages.text.find(".json: "), std::string::npos) << messages.text;
    EXPECT_EQ(json::parse(output.text)["exitCode"], exitcode::kDone);
  }
  EXPECT_EQ(machine.fs.List("C:\\Work\\Logs").size(), 2u);  // the text files only
  // Without /json, nothing changes: the summary line.
  EXPECT_EQ(Run({"/silent", "Creative"}), exitcode::kDone);
  EXPECT_EQ(output.text.rfind("Deleted 1, not deleted 0.", 0), 0u) << output.text;
  EXPECT_EQ(machine.fs.List("C:\\Work\\Logs").size(), 3u);
}

}  // namespace
}  // namespace quenk::test
