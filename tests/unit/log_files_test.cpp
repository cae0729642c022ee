#include "ProgramFixture.h"

#include "base/IoError.h"
#include "run/LogFiles.h"
#include "run/LogStamp.h"

namespace quenk::test {
namespace {

TEST(LogStamp, FollowsTheRegionalSettingsAndMakesAValidFileName) {
  platform::RegionalSettings us;  // M/d/yyyy, h:mm:ss tt
  platform::RegionalSettings de = us;
  de.shortDate = "dd.MM.yyyy";
  de.twelveHourClock = false;
  de.hourLeadingZero = true;
  platform::RegionalSettings plain = de;
  plain.shortDate = "d-M-yyyy";
  plain.hourLeadingZero = false;
  platform::RegionalSettings dotted = plain;
  dotted.timeSeparator = ".";
  platform::RegionalSettings first = us;
  first.designatorFirst = true;
  first.am = "AM";
  first.pm = "PM";
  first.hourLeadingZero = true;
  platform::RegionalSettings iso = de;
  iso.shortDate = "yyyy'-'MM'-'dd";
  platform::RegionalSettings named = de;
  named.shortDate = "d MMM yy ddd";
  platform::RegionalSettings slashSep = us;
  slashSep.shortDate = "d/M/yy";
  slashSep.dateSeparator = ".";

  const platform::LocalTime afternoon{2026, 12, 7, 1, 15, 40, 57};
  const platform::LocalTime early{2026, 3, 5, 4, 0, 5, 9};
  const struct {
    const platform::RegionalSettings* r;
    platform::LocalTime t;
    const char* stamp;
  } cases[] = {
      {&plain, afternoon, "7-12-2026-15-40-57"},
      {&plain, {2026, 12, 7, 1, 3, 40, 57}, "7-12-2026-3-40-57"},
      {&us, afternoon, "12-7-2026-3-40-57 PM"},
      {&us, early, "3-5-2026-12-05-09 AM"},
      {&us, {2026, 1, 1, 4, 12, 0, 0}, "1-1-2026-12-00-00 PM"},
      {&de, early, "05.03.2026-00-05-09"},
      {&dotted, afternoon, "7-12-2026-15.40.57"},
      {&first, afternoon, "12-7-2026-PM 03-40-57"},
      {&iso, afternoon, "2026-12-07-15-40-57"},
      {&named, afternoon, "7 Dec 26 Mon-15-40-57"},
      {&slashSep, afternoon, "7.12.26-3-40-57 PM"},
  };
  for (const auto& c : cases) EXPECT_EQ(LogStamp(*c.r, c.t), c.stamp) << c.r->shortDate;

  platform::RegionalSettings hostile = de;
  hostile.shortDate = "d\\M*yyyy?";
  hostile.timeSeparator = "|";
  EXPECT_EQ(LogStamp(hostile, afternoon), "7-12-2026--15-40-57");
}

class LogFilesTest : public ProgramFixture {
 protected:
  StringList deleted, notDeleted;
  void Log(const std::string& name, const std::string& text) {
    machine.fs.AddFile("C:\\Work\\Logs\\" + name + ".txt", text);
  }
};

TEST_F(LogFilesTest, SectionsReadBackFromAnyLineEnding) {
  const struct {
    std::string text;
    Lines deleted, notDeleted;
  } cases[] = {
      {"[Deleted]\r\nA\r\nB\r\n[Not deleted]\r\nC\r\n", {"A", "B"}, {"C"}},
      {"[Deleted]\nA\n[Not deleted]\nC", {"A"}, {"C"}},
      {"[Deleted]\rA\r[Not deleted]\rC\r", {"[Deleted]A[Not deleted]C"}, {}},
      {"[Deleted]\r\nA\r\n\x1A\r\nB\r\n[Not deleted]\r\nC\r\n", {"A"}, {}},
      {std::string("[Deleted]\r\nA\0B\r\n", 15), {std::string("A\0B", 3)}, {}},
      {"A\r\nB\r\n", {"A", "B"}, {}},
      {"[Deleted]\r\nA\r\n[Not deleted]\r\nB\r\n[Not deleted]\r\nC\r\n", {"A"}, {"B", "C"}},
      {"[Not deleted]\r\nB\r\n[Deleted]\r\nC\r\n", {}, {"B", "[Deleted]", "C"}},
      {"[deleted]\r\n\r\n[Not Deleted]\r\n", {"[deleted]", "", "[Not Deleted]"}, {}},
      {"", {}, {}},
  };
  for (const auto& c : cases) {
    Log("old", c.text);
    ReadDeletedSection(machine.fs, "old", deleted);
    ReadNotDeletedSection(machine.fs, "old", notDeleted);
    EXPECT_EQ(deleted.Lines(), c.deleted) << c.text;
    EXPECT_EQ(notDeleted.Lines(), c.notDeleted) << c.text;
  }
}

TEST_F(LogFilesTest, MissingLogEmptiesTheListAndFailsWithFileNotFound) {
  machine.fs.AddFolder("C:\\Work\\Logs");
  deleted.Append("kept until read");
  try {
    ReadDeletedSection(machine.fs, "gone", deleted);
    ADD_FAILURE();
  } catch (const IoError& e) {
    EXPECT_STREQ(e.what(), "C:\\Work\\Logs\\gone.txt: File not found");
  }
  EXPECT_TRUE(deleted.Empty());
}

TEST_F(LogFilesTest, SaveWritesExactBytesAndReplacesASameStampFile) {
  CleaningRecord record;
  SaveLogFile(machine.fs, machine.locale, record);
  EXPECT_EQ(machine.fs.ReadFile("C:\\Work\\Logs\\12-7-2026-3-40-57 PM.txt"),
            "[Deleted]\r\n[Not deleted]\r\n");
  record.AppendDeleted("C:\\a");
  record.AppendDeleted("C:\\a");
  record.AppendNotDeleted("HKLM\\Software\\X");
  SaveLogFile(machine.fs, machine.locale, record);
  EXPECT_EQ(LogFiles(), Lines{"12-7-2026-3-40-57 PM.txt"});
  EXPECT_EQ(machine.fs.ReadFile("C:\\Work\\Logs\\12-7-2026-3-40-57 PM.txt"),
            "[Deleted]\r\nC:\\a\r\nC:\\a\r\n[Not deleted]\r\nHKLM\\Software\\X\r\n");
}

TEST_F(LogFilesTest, SaveFailuresByCode) {
  CleaningRecord record;
  record.AppendDeleted("C:\\a");
  const struct {
    const char* what;
    std::function<void()> arrange;
    const char* message;
  } cases[] = {
      {"log folder cannot be made", [&] { machine.fs.Node("C:\\Work")->denyWrite = true; },
       "Invalid filename"},
      {"disk full", [&] { machine.fs.SetDiskFull(true); }, "Disk full"},
      {"read-only log file",
       [&] {
         Log("12-7-2026-3-40-57 PM", ""),
             machine.fs.Node("C:\\Work\\Logs\\12-7-2026-3-40-57 PM.txt")->attributes = 1;
       },
       "File access denied"},
  };
  for (const auto& c : cases) {
    c.arrange();
    try {
      SaveLogFile(machine.fs, machine.locale, record);
      ADD_FAILURE() << c.what;
    } catch (const IoError& e) {
      EXPECT_EQ(e.what(), "C:\\Work\\Logs\\12-7-2026-3-40-57 PM.txt: " + std::string(c.message))
          << c.what;
    }
    machine.fs.Node("C:\\Work")->denyWrite = false;
    machine.fs.SetDiskFull(false);
  }
}

TEST_F(LogFilesTest, OlderLogsAreListedWithoutTheirLastFourCharacters) {
  Log("7-12-2026-3-40-57", "");
  Log("a.b", "");
  machine.fs.AddFile("C:\\Work\\Logs\\hidden.txt", "", platform::attr::kHidden);
  machine.fs.AddFolder("C:\\Work\\Logs\\old.txt");
  machine.fs.AddFile("C:\\Work\\Logs\\notes.doc");
  FillOlderLogs(machine.fs, deleted);
  EXPECT_EQ(deleted.Lines(), (Lines{"7-12-2026-3-40-57", "a.b", "hidden", "old"}));
  machine.fs.SetCurrentDir("C:\\Windows");
  FillOlderLogs(machine.fs, deleted);
  EXPECT_TRUE(deleted.Empty());
}

}  // namespace
}  // namespace quenk::test
