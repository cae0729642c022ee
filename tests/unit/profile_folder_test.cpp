#include "ProgramFixture.h"

#include "app/Unattended.h"
#include "profiles/BuiltinProfiles.h"
#include "profiles/ProfileReader.h"
#include "base/Text.h"
#include "run/OptionFlags.h"

#include <algorithm>
#include <functional>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace quenk::test {
namespace {

constexpr const char* kFolder = "C:\\Quenk\\Profiles\\";

std::string Profile(const std::string& name, const std::string& word, const std::string& body) {
  return "format = 1\nname = \"" + name + "\"\nword = \"" + word + "\"\n" + body;
}

const std::string kContosoBody =
    "[[files]]\nfolder = '%SYSTEMROOT%\\System32\\'\nmasks = [\"ctso*.dll\"]\n"
    "[[registry]]\nroot = \"HKLM\"\nbase = \"Software\"\nkeys = [\"Contoso\"]\n";

struct Messages final : MessageSink {
  std::string text;
  void Write(std::string_view t) override { text += t; }
};

// Two sound profiles and four that must be left out, beside the program.
class ProfileFolder : public ProgramFixture {
 protected:
  ProfileFolder() {
    auto& fs = machine.fs;
    fs.AddFile(std::string(kFolder) + "contoso.toml",
               Profile("Contoso - Display", "Contoso", kContosoBody));
    fs.AddFile(std::string(kFolder) + "Aardvark.toml",
               Profile("Aardvark - Audio", "Aard",
                       "[[files]]\ntrees = ['%SYSTEMROOT%\\Help\\aardhelp']\n"));
    fs.AddFile(std::string(kFolder) + "broken.toml", "format = 1\nname = \"Broken\nword = 2\n");
    fs.AddFile(std::string(kFolder) + "builtin-word.toml",
               Profile("Clashing", "NVIDIA", kContosoBody));
    fs.AddFile(std::string(kFolder) + "duplicate.toml",
               Profile("CONTOSO - display", "Contoso2", kContosoBody));
    fs.AddFile(std::string(kFolder) + "huge.toml", std::string(2 << 20, '#'));
    fs.AddFile(std::string(kFolder) + "readme.txt", "not a profile");
    fs.AddFile(std::string(kFolder) + "aux.toml", Profile("Aux", "Aux", kContosoBody));
    fs.AddFolder(std::string(kFolder) + "folder.toml");
    Files({"C:\\Windows\\System32\\ctso1.dll", "C:\\Windows\\Help\\aardhelp\\a.chm"});
    Keys(platform::kLocalMachine, {"Software\\Contoso\\Sub"});
  }

  int Silent(std::vector<std::string> arguments) {
    messages.text.clear();
    output.text.clear();
    arguments.insert(arguments.begin(), "/silent");
    run::Session fresh(machine.ports());
    return RunUnattended(machine.ports(), fresh, ParseArguments(arguments), messages, output);
  }

  Messages messages;
  Messages output;
};

TEST_F(ProfileFolder, SoundFilesAddItemsInFileNameOrderAndTheRestAreToldOnce) {
  const run::Session s(machine.ports());
  std::vector<std::string> words;
  for (const auto& row : s.catalog.More()) words.emplace_back(row.word);
  EXPECT_EQ(words, (std::vector<std::string>{"Aard", "Contoso"}));
  std::vector<std::string> refused;
  for (const auto& m : s.refusedProfiles) refused.push_back(m.file);
  EXPECT_EQ(refused, (std::vector<std::string>{"Profiles\\aux.toml", "Profiles\\broken.toml",
                                               "Profiles\\builtin-word.toml",
                                               "Profiles\\duplicate.toml", "Profiles\\huge.toml"}));
  const auto reason = [&](std::size_t i) { return s.refusedProfiles[i].what; };
  EXPECT_NE(reason(0).find("a device's"), std::string::npos) << reason(0);
  EXPECT_NE(reason(2).find("already taken"), std::string::npos) << reason(2);
  EXPECT_NE(reason(3).find("already taken"), std::string::npos) << reason(3);
  EXPECT_NE(reason(4).find("1 MB"), std::string::npos) << reason(4);

  Start();
  const Lines list = Main().ListBoxItemList.Items().Lines();
  EXPECT_TRUE(std::is_sorted(list.begin(), list.end(),
                             [](const auto& a, const auto& b) { return LessNoCase(a, b); }));
  EXPECT_EQ(list.size(), kItemCount + 2);
  ASSERT_EQ(Reports().size(), 1u);
  for (const char* file :
       {"aux.toml", "broken.toml", "builtin-word.toml", "duplicate.toml", "huge.toml"})
    EXPECT_NE(Reports()[0].find(file), std::string::npos) << file;
}

TEST_F(ProfileFolder, AWordRunsItsProfileWithTheSwitchesOfItsOwnSection) {
  EXPECT_EQ(Silent({"Contoso", "Aard"}), exitcode::kDone) << messages.text;
  EXPECT_FALSE(Exists("C:\\Windows\\System32\\ctso1.dll"));
  EXPECT_FALSE(Key(platform::kLocalMachine, "Software\\Contoso"));
  EXPECT_FALSE(machine.fs.FolderExists("C:\\Windows\\Help\\aardhelp"));
  EXPECT_NE(messages.text.find("Profiles\\broken.toml, line"), std::string::npos);
  // The more sections follow the ones the settings file has always held.
  const std::string settings = SettingsText();
  EXPECT_LT(settings.find("[Backup]"), settings.find("[Aard]"));
  EXPECT_LT(settings.find("[Aard]"), settings.find("[Contoso]"));

  Files({"C:\\Windows\\System32\\ctso2.dll"});
  Keys(platform::kLocalMachine, {"Software\\Contoso"});
  Settings("[Contoso]\r\nFiles=0\r\n");
  EXPECT_EQ(Silent({"Contoso"}), exitcode::kDone);
  EXPECT_TRUE(Exists("C:\\Windows\\System32\\ctso2.dll"));
  EXPECT_FALSE(Key(platform::kLocalMachine, "Software\\Contoso"));
  EXPECT_NE(SettingsText().find("[Contoso]\r\nFiles=0\r\nRegistry=1"), std::string::npos)
      << SettingsText();
}

TEST_F(ProfileFolder, WordsOfRefusedProfilesAndWrongCheckedFilesAreWrongLines) {
  EXPECT_EQ(Silent({"Contoso2"}), exitcode::kWrongLine);
  EXPECT_TRUE(Exists("C:\\Windows\\System32\\ctso1.dll"));
  EXPECT_EQ(Silent({"contoso"}), exitcode::kWrongLine);
  EXPECT_NE(messages.text.find("did you mean Contoso?"), std::string::npos);

  machine.fs.AddFile("C:\\Work\\second.toml", Profile("Second", "Contoso", kContosoBody));
  EXPECT_EQ(Silent({"/?"}), exitcode::kDone);
  EXPECT_NE(messages.text.find("Contoso\tContoso - Display (Profiles\\contoso.toml)"),
            std::string::npos);

  const struct {
    std::vector<std::string> files;
    int code;
    const char* told;
  } checks[] = {
      {{std::string(kFolder) + "contoso.toml"}, exitcode::kDone, "contoso.toml: sound: Contoso"},
      {{std::string(kFolder) + "broken.toml"}, exitcode::kWrongLine, "broken.toml, line 2"},
      {{std::string(kFolder) + "contoso.toml", std::string(kFolder) + "duplicate.toml"},
       exitcode::kWrongLine,
       "already taken by"},
      {{"C:\\nowhere.toml"}, exitcode::kWrongLine, "there is no such file"},
      {{"C:\\Work\\second.toml"},
       exitcode::kWrongLine,
       "word \"Contoso\" is already taken by Profiles\\contoso.toml"},
      {{std::string(kFolder) + "huge.toml"}, exitcode::kWrongLine, "larger than 1 MB"},
      {{}, exitcode::kWrongLine, ""},
  };
  for (const auto& c : checks) {
    std::vector<std::string> line{"/check"};
    line.insert(line.end(), c.files.begin(), c.files.end());
    EXPECT_EQ(Silent(line), c.code) << c.told;
    EXPECT_NE(output.text.find(c.told), std::string::npos) << output.text;
    if (!c.files.empty()) {
      EXPECT_NE(output.text.find("Checked in the ANSI code page Latin-1"), std::string::npos);
    }
  }
  EXPECT_FALSE(machine.fs.Exists(kSettings));  // a check changes nothing
  EXPECT_TRUE(machine.fs.List("C:\\Work\\Logs").empty());
}

TEST_F(ProfileFolder, TheMorePageKeepsEachProfilesSwitchesUntilSaved) {
  Start();
  TOptionsForm& options = windows->options;
  ASSERT_EQ(options.ListBoxItems.Item(4), "More profiles");
  UserPick(options.ListBoxItems, 4);
  auto& page = options.FrameOptions_MoreProfiles1;
  EXPECT_TRUE(page.Visible());
  UserPick(page.ListBoxProfiles, 1);  // Contoso
  page.CheckBoxFile.UserToggled(false);
  UserClick(page.CheckBoxFile);
  EXPECT_EQ(page.ListBoxProfiles.Item(1), "Contoso - Display (no file cleaning)");
  UserPick(page.ListBoxProfiles, 0);
  EXPECT_TRUE(page.CheckBoxFile.Checked());
  UserClick(options.Button3);
  EXPECT_NE(SettingsText().find("[Contoso]\r\nRegistry=1\r\nFiles=0"), std::string::npos);
  const profiles::CleaningItem* contoso = session->catalog.ByWord("Contoso");
  ASSERT_NE(contoso, nullptr);
  EXPECT_FALSE(Main().Flags().Of(*contoso).files);
  EXPECT_TRUE(Main().Flags().Of(*session->catalog.ByWord("Aard")).files);
}

TEST_F(ProfileFolder, AStepWhoseVariableIsUnsetIsLeftOutAndSaidSo) {
  machine.fs.AddFile(std::string(kFolder) + "zeta.toml",
                     Profile("Zeta", "Zeta",
                             "[[files]]\ntrees = ['%ZETA_HOME%\\Zeta']\n"
                             "[[files]]\nfolder = '%SYSTEMROOT%\\System32\\'\n"
                             "masks = [\"ctso*.dll\"]\n"));
  Files({"C:\\Zeta\\z.txt"});
  EXPECT_EQ(Silent({"Zeta"}), exitcode::kDone) << messages.text;
  EXPECT_NE(messages.text.find("Profiles\\zeta.toml, line 4: %ZETA_HOME% is not set"),
            std::string::npos)
      << messages.text;
  EXPECT_TRUE(Exists("C:\\Zeta\\z.txt"));                    // never the root's Zeta
  EXPECT_FALSE(Exists("C:\\Windows\\System32\\ctso1.dll"));  // the next step ran
}

TEST(ManyProfiles, AThousandFilesLoadInFileNameOrder) {
  class Many : public ProgramFixture {
   public:
    void TestBody() override {
      for (int i = 999; i >= 0; --i) {
        const std::string n = std::to_string(1000 + i).substr(1);
        machine.fs.AddFile(std::string(kFolder) + "p" + n + ".toml",
                           Profile("Vendor " + n, "V" + n, kContosoBody));
      }
      const run::Session s(machine.ports());
      ASSERT_EQ(s.catalog.More().size(), 1000u);
      EXPECT_TRUE(s.refusedProfiles.empty());
      EXPECT_EQ(s.catalog.More().front().word, "V000");
      EXPECT_EQ(s.catalog.More().back().word, "V999");
    }
  } many;
  many.TestBody();
}

// How a service's end shows: the exit code of a silent run, and once per
// window run the lack of administrator rights.
TEST_F(ProfileFolder, WhatARestartOrMissingRightsLeaveIsSaidOnce) {
  machine.fs.AddFile(std::string(kFolder) + "svc.toml",
                     Profile("Svc", "Svc", "[[registry]]\nservices = [\"ctsosvc\"]\n"));
  const struct {
    const char* what;
    std::function<void(sim::SimService&)> state;
    int code;
    bool rightsTold;
  } cases[] = {
      {"deleted", [](sim::SimService&) {}, exitcode::kDone, false},
      {"would not stop", [](sim::SimService& s) { s.ignoresStop = true; }, exitcode::kRestartNeeded,
       false},
      {"marked already", [](sim::SimService& s) { s.markedForDeletion = true; },
       exitcode::kRestartNeeded, false},
      {"no rights", [](sim::SimService& s) { s.denyControl = true; }, exitcode::kSomethingStayed,
       true},
  };
  for (const auto& c : cases) {
    c.state(machine.services.Add("ctsosvc", true));
    EXPECT_EQ(Silent({"Svc", "/json"}), c.code) << c.what << messages.text;
    EXPECT_EQ(output.text.find("\"restartNeeded\":true") != std::string::npos,
              c.code == exitcode::kRestartNeeded)
        << c.what;
    c.state(machine.services.Add("ctsosvc", true));
    ui::Application app;
    run::Session session(machine.ports());
    auto windows = CreateProgram(app, machine.ports(), session, ParseArguments({"Svc"}));
    app.Start();
    std::size_t told = 0;
    for (const auto& report : app.Reports())
      told += report.find("without administrator rights") != std::string::npos;
    EXPECT_EQ(told, c.rightsTold ? 1u : 0u) << c.what;
    EXPECT_EQ(windows.main.LabelStatus.Caption().find("Restart to finish.") != std::string::npos,
              c.code == exitcode::kRestartNeeded)
        << c.what << windows.main.LabelStatus.Caption();
    app.Shutdown();
  }
}

// The example in the documentation and every shipped profile load whole,
// together and beside the built-in five.
TEST(RepositoryProfiles, TheExampleAndTheShippedProfilesAreSound) {
  std::vector<std::filesystem::path> files{std::filesystem::path(QUENK_SOURCE_DIR) / "docs" /
                                           "profile-example.toml"};
  for (const auto& entry : std::filesystem::directory_iterator(
           std::filesystem::path(QUENK_SOURCE_DIR) / "profiles" / "shipped"))
    if (entry.path().extension() == ".toml") files.push_back(entry.path());
  std::vector<profiles::ProfileData> loaded;
  for (const auto& file : files) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    auto read =
        profiles::ReadProfile(text.str(), file.filename().string(), platform::AsciiCodePage());
    for (const auto& e : read.errors) ADD_FAILURE() << e.Text();
    for (const auto& e : read.skipped) ADD_FAILURE() << e.Text();
    ASSERT_TRUE(read.profile) << file;
    auto clashes = profiles::Clashes(*read.profile, profiles::BuiltinProfiles());
    const auto more = profiles::Clashes(*read.profile, loaded);
    clashes.insert(clashes.end(), more.begin(), more.end());
    for (const auto& e : clashes) ADD_FAILURE() << e.Text();
    loaded.push_back(std::move(*read.profile));
  }
}

// Without a profiles folder the windows are as they always were.
TEST(NoProfileFolder, OptionsHaveFourPagesAndNothingIsReported) {
  class Plain : public ProgramFixture {
   public:
    void TestBody() override {
      Start();
      EXPECT_EQ(windows->options.ListBoxItems.Count(), 4u);
      EXPECT_TRUE(Reports().empty());
      EXPECT_EQ(Main().ListBoxItemList.Count(), kItemCount);
    }
  } plain;
  plain.TestBody();
}

}  // namespace
}  // namespace quenk::test
