#include "ProfileFixture.h"

#include "profiles/BuiltinProfiles.h"
#include "profiles/DataProfile.h"
#include "profiles/ProfileReader.h"

#include <gtest/gtest.h>

namespace quenk::test {
namespace {

using profiles::ReadProfile;

const std::string kHead = "format = 1\nname = \"Contoso - Display\"\nword = \"Contoso\"\n";

profiles::ReadProfileResult Read(const std::string& text) {
  return ReadProfile(text, "contoso.toml", platform::Latin1CodePage());
}

TEST(ProfileReader, EachRuleRefusesWithFileLineColumnAndReason) {
  const struct {
    const char* rule;
    std::string text;
    int line, column;
    const char* says;
  } rows[] = {
      {"syntax", kHead + "[[files]\n", 4, 9, "not valid TOML"},
      {"size", std::string(profiles::kMaxProfileBytes + 1, '#'), 1, 1, "larger than 1 MB"},
      {"UTF-16", std::string("\xFF\xFE", 2) + "f\0o\0", 1, 1, "UTF-16"},
      {"binary", std::string("\x01\x80\xFF", 3), 1, 1, "not valid TOML"},
      {"a letter where white space may stand", kHead + "x =\xC2\xA7 1\n", 4, 4, "not valid TOML"},
      {"a letter after a line-ending backslash", kHead + "s = \"\"\"\\\n\xC2\xA7\"\"\"\n[[x", 6, 4,
       "not valid TOML"},
      {"NUL", kHead + std::string("[[\0]]", 5), 4, 3, "NUL byte"},
      {"unknown key", kHead + "colour = 1\n", 4, 1, "unknown key \"colour\""},
      {"unknown step key", kHead + "[[files]]\nfolder = 'C:\\x\\'\nmask = [\"ab*\"]\n", 6, 1,
       "unknown key \"mask\" in [[files]]"},
      {"unknown inline key",
       kHead + "[[files]]\nnamed-by = { key = 'HKLM\\S', value = \"x\", vale = \"y\" }\n", 5, 43,
       "unknown key \"vale\""},
      {"wrong type", kHead + "[[files]]\nfolder = 'C:\\x\\'\nmasks = \"ab*\"\n", 6, 9,
       "masks must be a list of texts, not a text"},
      {"wrong entry type", kHead + "[[files]]\nfolder = 'C:\\x\\'\nmasks = [\"ab*\", 3]\n", 6, 17,
       "must be a text, not an integer"},
      {"steps not tables", kHead + "files = 3\n", 4, 9, "files must be a list of tables"},
      {"format missing", "name = \"A\"\nword = \"A\"\n", 1, 1, "format is missing"},
      {"format type", "format = \"1\"\nname = \"A\"\nword = \"A\"\n", 1, 10,
       "format must be an integer"},
      {"another major format", "format = 2\nname = \"A\"\nword = \"A\"\n", 1, 10,
       "format 2 is not known: this program reads format 1"},
      {"name missing", "format = 1\nword = \"A\"\n", 1, 1, "name is missing"},
      {"name empty", "format = 1\nname = \"\"\nword = \"A\"\n", 2, 8, "name is empty"},
      {"word with a blank", "format = 1\nname = \"A\"\nword = \"Con toso\"\n", 3, 8,
       "holds a blank"},
      {"word a switch", "format = 1\nname = \"A\"\nword = \"/silent\"\n", 3, 8, "read as a switch"},
      {"word a section", "format = 1\nname = \"A\"\nword = \"systemtray\"\n", 3, 8,
       "name of a settings section"},
      {"two kinds in a step", kHead + "[[files]]\nfolder = 'C:\\x\\'\ntrees = ['C:\\y']\n", 6, 1,
       "\"trees\" belongs to another"},
      {"empty step", kHead + "[[files]]\n", 4, 1, "an empty [[files]] step"},
      {"half a step", kHead + "[[files]]\nfolder = 'C:\\x\\'\n", 4, 1, "needs masks"},
      {"empty masks", kHead + "[[files]]\nfolder = 'C:\\x\\'\nmasks = []\n", 6, 9,
       "masks is empty"},
      {"empty keys", kHead + "[[registry]]\nroot = \"HKLM\"\nbase = \"Software\"\nkeys = []\n", 7,
       8, "keys is empty"},
      {"mask with a separator", kHead + "[[files]]\nfolder = 'C:\\x\\'\nmasks = ['ab\\c*']\n", 6,
       10, "path separator"},
      {"bare star", kHead + "[[files]]\nfolder = '%SYSTEMROOT%\\'\nmasks = [\"*\"]\n", 6, 10,
       "two letters before its first wildcard"},
      {"star dot star", kHead + "[[files]]\nfolder = 'C:\\x\\'\nmasks = [\"ok.dll\", \"*.*\"]\n", 6,
       20, "two letters"},
      {"star dot", kHead + "[[files]]\nfolder = 'C:\\x\\'\nmasks = [\"*.\"]\n", 6, 10,
       "two letters"},
      {"question star", kHead + "[[files]]\nfolder = 'C:\\x\\'\nmasks = [\"?*\"]\n", 6, 10,
       "two letters"},
      {"one letter", kHead + "[[files]]\nfolder = 'C:\\x\\'\nmasks = [\"a*.dll\"]\n", 6, 10,
       "two letters"},
      {"folder not rooted", kHead + "[[files]]\nfolder = 'Windows\\'\nmasks = [\"ab*\"]\n", 5, 10,
       "must start with a %VARIABLE% or a drive"},
      {"folder open end",
       kHead + "[[files]]\nfolder = '%SYSTEMROOT%\\System32'\nmasks = [\"ab*\"]\n", 5, 10,
       "must end in \\"},
      {"installers open end", kHead + "[[files]]\ninstallers = 'C:\\IS'\ncompany = \"Contoso\"\n",
       5, 14, "must end in \\"},
      {"empty company", kHead + "[[files]]\ninstallers = 'C:\\IS\\'\ncompany = \"\"\n", 6, 11,
       "company is empty"},
      {"tree not rooted", kHead + "[[files]]\ntrees = ['Help\\x']\n", 5, 10, "must start with"},
      {"named-by outside HKLM",
       kHead + "[[files]]\nnamed-by = { key = 'HKCU\\Software\\X', value = \"Dir\" }\n", 5, 20,
       "must lie below HKLM\\"},
      {"root", kHead + "[[registry]]\nroot = \"HKCR\"\nbase = \"Software\"\nkeys = [\"X\"]\n", 5, 8,
       "neither HKLM nor HKCU"},
      {"base empty", kHead + "[[registry]]\nroot = \"HKLM\"\nbase = ''\nkeys = [\"X\"]\n", 6, 8,
       "must lie in Software or System"},
      {"base outside", kHead + "[[registry]]\nroot = \"HKLM\"\nbase = 'SAM'\nkeys = [\"X\"]\n", 6,
       8, "must lie in Software or System"},
      {"all of Software",
       kHead + "[[registry]]\nroot = \"HKCU\"\nbase = 'Software'\nkeys = ['\\']\n", 7, 9,
       "an empty key name"},
      {"Microsoft",
       kHead + "[[registry]]\nroot = \"HKLM\"\nbase = 'Software'\nkeys = ['microsoft']\n", 7, 9,
       "protected part of the registry"},
      {"below Classes",
       kHead + "[[registry]]\nroot = \"HKCU\"\nbase = 'Software\\\\Classes'\nkeys = ['x']\n", 7, 9,
       "protected"},
      {"Policies",
       kHead + "[[registry]]\nroot = \"HKLM\"\nbase = 'Software'\nkeys = ['Policies\\X']\n", 7, 9,
       "protected"},
      {"Wow6432Node",
       kHead + "[[registry]]\nroot = \"HKLM\"\nbase = 'Software'\nkeys = ['Wow6432Node']\n", 7, 9,
       "protected"},
      {"Windows", kHead + "[[registry]]\nroot = \"HKLM\"\nbase = 'Software'\nkeys = ['Windows']\n",
       7, 9, "protected"},
      {"Control",
       kHead + "[[registry]]\nroot = \"HKLM\"\nbase = 'System\\CurrentControlSet'\nkeys = "
               "['Control\\Class']\n",
       7, 9, "protected"},
      {"above Control",
       kHead + "[[registry]]\nroot = \"HKLM\"\nbase = 'System'\nkeys = ['CurrentControlSet']\n", 7,
       9, "protected"},
      {"Setup", kHead + "[[registry]]\nroot = \"HKLM\"\nbase = 'System'\nkeys = ['Setup']\n", 7, 9,
       "protected"},
      {"a control set's Control",
       kHead +
           "[[registry]]\nroot = \"HKLM\"\nbase = 'System\\ControlSet002'\nkeys = ['Control']\n",
       7, 9, "protected"},
      {"empty control-set name", kHead + "[[registry]]\ncontrol-sets = { services = [\"\"] }\n", 5,
       30, "an empty key name"},
      {"empty control-sets", kHead + "[[registry]]\ncontrol-sets = {}\n", 5, 16,
       "needs enum-root or services"},
      {"value outside Software and System",
       kHead + "[[registry]]\nvalues = [{ key = 'HKLM\\SAM\\X', value = \"v\" }]\n", 5, 19,
       "must lie below Software or System"},
      {"value on all of Software",
       kHead + "[[registry]]\nvalues = [{ key = 'HKCU\\Software', value = \"v\" }]\n", 5, 19,
       "must lie below Software or System"},
      {"value under another root",
       kHead + "[[registry]]\nvalues = [{ key = 'HKCR\\Software\\X', value = \"v\" }]\n", 5, 19,
       "must start with HKLM\\ or HKCU\\"},
      {"empty value name",
       kHead + "[[registry]]\nvalues = [{ key = 'HKLM\\Software\\X', value = \"\" }]\n", 5, 46,
       "value is empty"},
      {"value without a name", kHead + "[[registry]]\nvalues = [{ key = 'HKLM\\Software\\X' }]\n",
       5, 11, "needs key and value"},
      {"unknown value key",
       kHead + "[[registry]]\nvalues = [{ key = 'HKLM\\Software\\X', value = \"v\", v = 1 }]\n", 5,
       51, "unknown key \"v\" in values"},
      {"values not tables", kHead + "[[registry]]\nvalues = [\"Run\"]\n", 5, 11, "must be a table"},
      {"empty values", kHead + "[[registry]]\nvalues = []\n", 5, 10, "values is empty"},
      {"service with a path", kHead + "[[registry]]\nservices = ['nvlddmkm\\Enum']\n", 5, 13,
       "path separator"},
      {"service by a mask", kHead + "[[registry]]\nservices = [\"nv*\"]\n", 5, 13, "wildcard"},
      {"empty service", kHead + "[[registry]]\nservices = [\"\"]\n", 5, 13,
       "an empty service name"},
      {"services beside keys", kHead + "[[registry]]\nroot = \"HKLM\"\nservices = [\"x\"]\n", 6, 1,
       "\"services\" belongs to another"},
      {"tree with a dot-dot step", kHead + "[[files]]\ntrees = ['%USERPROFILE%\\..\\x']\n", 5, 10,
       "holds a \".\" or \"..\" step"},
      {"folder with a dot step",
       kHead + "[[files]]\nfolder = '%SYSTEMROOT%\\.\\'\nmasks = [\"keep*\"]\n", 5, 10,
       "holds a \".\" or \"..\" step"},
      {"tree mask too short", kHead + "[[files]]\ntrees = ['%ProgramData%\\N*']\n", 5, 10,
       "two letters before its first wildcard"},
      {"tree mask bare", kHead + "[[files]]\ntrees = ['%ProgramData%\\*']\n", 5, 10,
       "two letters before its first wildcard"},
      {"tree mask above the last part", kHead + "[[files]]\ntrees = ['%ProgramData%\\NV*\\Logs']\n",
       5, 10, "wildcard before its last part"},
      {"per-profile tree elsewhere",
       kHead + "[[files]]\ntrees = ['%APPDATA%\\Contoso']\nfor-each-profile = true\n", 5, 10,
       "must start with %USERPROFILE%\\"},
      {"per-profile not a switch",
       kHead + "[[files]]\ntrees = ['%USERPROFILE%\\x']\nfor-each-profile = \"yes\"\n", 6, 20,
       "for-each-profile must be true or false"},
      {"per-profile without trees", kHead + "[[files]]\nfor-each-profile = true\n", 4, 1,
       "needs trees"},
      {"drivers without a provider", kHead + "[[drivers]]\nclasses = ['Display']\n", 4, 1,
       "needs provider or provider-prefix"},
      {"drivers with an empty provider", kHead + "[[drivers]]\nprovider = ''\n", 5, 12,
       "would match every package"},
      {"drivers with an empty provider prefix", kHead + "[[drivers]]\nprovider-prefix = ''\n", 5,
       19, "would match every package"},
      {"drivers with both provider keys",
       kHead + "[[drivers]]\nprovider = 'NVIDIA'\nprovider-prefix = 'NV'\n", 6, 1, "not both"},
      {"drivers with a class star", kHead + "[[drivers]]\nprovider = 'NVIDIA'\nclasses = ['*']\n",
       6, 12, "would match any class"},
      {"drivers with an inf mask star",
       kHead + "[[drivers]]\nprovider = 'NVIDIA'\ninf-names = ['*']\n", 6, 14,
       "two letters before"},
      {"drivers with an empty class list",
       kHead + "[[drivers]]\nprovider = 'NVIDIA'\nclasses = []\n", 6, 11, "classes is empty"},
      {"drivers with a key-file mask",
       kHead + "[[drivers]]\nprovider = 'NVIDIA'\nkey-file = 'nv*.sys'\n", 6, 12,
       "not a file name"},
      {"drivers with an unknown key", kHead + "[[drivers]]\nprovider = 'NVIDIA'\nvendor = 'x'\n", 6,
       1, "unknown key \"vendor\""},
      {"detect without a provider", kHead + "[detect]\nkey-file = 'nvlddmkm.sys'\n", 4, 1,
       "[detect] needs provider"},
      {"detect not a table", kHead + "detect = 'NVIDIA'\n", 4, 10, "detect must be a table"},
      {"a value Windows logs on with",
       kHead + "[[registry]]\nvalues = [{ key = 'HKLM\\Software\\Microsoft\\Windows NT\\"
               "CurrentVersion\\Winlogon', value = 'Userinit' }]\n",
       5, 19, "protected part"},
      {"the system's Path",
       kHead + "[[registry]]\nvalues = [{ key = 'HKLM\\System\\CurrentControlSet\\Control\\"
               "Session Manager\\Environment', value = 'Path' }]\n",
       5, 19, "protected part"},
      {"a value right below System",
       kHead + "[[registry]]\nvalues = [{ key = 'HKLM\\System\\Setup', value = 'SetupType' }]\n", 5,
       19, "protected part"},
      {"a system service", kHead + "[[registry]]\nservices = ['RpcSs']\n", 5, 13,
       "one of Windows' own"},
      {"a system service's key",
       kHead + "[[registry]]\nroot = 'HKLM'\nbase = 'System\\CurrentControlSet\\Services'\n"
               "keys = ['EventLog']\n",
       7, 9, "protected part"},
      {"all services",
       kHead +
           "[[registry]]\nroot = 'HKLM'\nbase = 'System'\nkeys = ['CurrentControlSet\\Services']\n",
       7, 9, "protected part"},
      {"a key right below System",
       kHead + "[[registry]]\nroot = 'HKLM'\nbase = 'System'\nkeys = ['MountedDevices']\n", 7, 9,
       "protected part"},
      {"a bus below Enum",
       kHead +
           "[[registry]]\nroot = 'HKLM'\nbase = 'System\\ControlSet001\\Enum'\nkeys = ['PCI']\n",
       7, 9, "protected part"},
      {"a control-sets name that is a path",
       kHead + "[[registry]]\ncontrol-sets = { services = ['Tcpip\\Parameters'] }\n", 5, 30,
       "not one key named exactly"},
      {"a control-sets name that steps up",
       kHead + "[[registry]]\ncontrol-sets = { enum-root = ['..'] }\n", 5, 31,
       "not one key named exactly"},
      {"a provider prefix of one letter", kHead + "[[drivers]]\nprovider-prefix = 'A'\n", 5, 19,
       "shorter than three letters"},
      {"the system's own packages",
       kHead + "[[drivers]]\nprovider = 'Microsoft'\nclasses = ['System']\n", 5, 12,
       "the system's own packages"},
      {"a word with a no-break space", "format = 1\nname = \"Contoso\"\nword = \"C\\u00A0x\"\n", 3,
       8, "blank or a control"},
      {"a word with a NUL", "format = 1\nname = \"Contoso\"\nword = \"C\\u0000x\"\n", 3, 8,
       "blank or a control"},
      {"name outside the code page", "format = 1\nname = \"\xE2\x84\xA6 Display\"\nword = \"A\"\n",
       2, 8, "cannot be spelt in the ANSI code page (Latin-1)"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.rule);
    const auto read = Read(row.text);
    EXPECT_FALSE(read.profile);
    ASSERT_FALSE(read.errors.empty());
    const auto& first = read.errors.front();
    EXPECT_EQ(first.file, "contoso.toml");
    EXPECT_NE(first.what.find(row.says), std::string::npos) << first.Text();
    EXPECT_EQ(first.place.line, row.line) << first.Text();
    EXPECT_EQ(first.place.column, row.column) << first.Text();
  }
}

TEST(ProfileReader, SoundProfilesLoadWithEveryStepKind) {
  const std::string every = kHead + R"(
[[files]]
folder = '%SYSTEMROOT%\System32\'
masks = ["ctso*.dll", "ctsocpl.cpl", "", "x.y"]
[[files]]
installers = '%ProgramFiles%\InstallShield Installation Information\'
company = "Contoso"
[[files]]
named-by = { key = 'HKLM\Software\Contoso\Install', value = "InstallDir" }
[[files]]
trees = ['%SYSTEMROOT%\Help\ctsohelp']
[[registry]]
root = "HKLM"
base = "Software"
keys = ["Contoso", "Contoso Display", 'Microsoft Contoso']
[[registry]]
control-sets = { enum-root = ["LEGACY_CTSO"], services = ["ctso"] }
[[files]]
trees = ['%USERPROFILE%\AppData\Local\Contoso', '%USERPROFILE%\AppData\Roaming\Ctso*']
for-each-profile = true
[[files]]
trees = ['%SYSTEMROOT%\System32\DriverStore\FileRepository\ctso.inf_amd64_*']
[[registry]]
services = ["CtsoSvc", "ctsodrv"]
[[registry]]
values = [{ key = 'HKLM\Software\Microsoft\Windows\CurrentVersion\Run', value = "CtsoTray" },
          { key = 'hkcu\Software\Contoso', value = "Run" }]
)";
  const auto read = Read(every);
  ASSERT_TRUE(read.profile) << read.errors.front().Text();
  const auto& p = *read.profile;
  EXPECT_EQ(p.files.size(), 6u);
  EXPECT_EQ(p.files[2].key, "Software\\Contoso\\Install");
  EXPECT_TRUE(p.files[4].forEachProfile);
  EXPECT_FALSE(p.files[5].forEachProfile);
  EXPECT_EQ(p.registry.size(), 4u);
  EXPECT_EQ(p.registry[2].serviceNames, (std::vector<std::string>{"CtsoSvc", "ctsodrv"}));
  ASSERT_EQ(p.registry[3].values.size(), 2u);
  EXPECT_EQ(p.registry[3].values[1].root, platform::kCurrentUser);
  EXPECT_EQ(p.registry[3].values[1].key, "Software\\Contoso");
  EXPECT_EQ(p.registry[3].values[1].value, "Run");
  // A BOM and an entry the code page cannot spell: the entry is left out, not the profile.
  const auto bom = Read("\xEF\xBB\xBF" + kHead +
                        "[[files]]\nfolder = 'C:\\x\\'\nmasks = [\"ab*\", \"\xE2\x84\xA6x*\"]\n");
  ASSERT_TRUE(bom.profile);
  EXPECT_EQ(bom.profile->files.at(0).masks, std::vector<std::string>{"ab*"});
  ASSERT_EQ(bom.skipped.size(), 1u);
  EXPECT_EQ(bom.skipped[0].place.line, 6);
}

TEST(ProfileReader, TheBuiltInProfilesPassEveryRuleAndTheirNamesAndWordsAreTaken) {
  for (const auto& text : profiles::kBuiltinProfileTexts) {
    const auto read = ReadProfile(text.text, std::string(text.file), platform::AsciiCodePage());
    EXPECT_TRUE(read.profile) << (read.errors.empty() ? "" : read.errors.front().Text());
    EXPECT_TRUE(read.skipped.empty());
  }
  const auto& builtIn = profiles::BuiltinProfiles();
  const auto clash = Read("format = 1\nname = \"nvidia - display\"\nword = \"REALTEK\"\n");
  ASSERT_TRUE(clash.profile);
  const auto errors = profiles::Clashes(*clash.profile, builtIn);
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[0].what, "name \"nvidia - display\" is already taken by a built-in profile");
  EXPECT_EQ(errors[1].place.line, 3);
}

// What a profile from a file does at run time where its data cannot show the harm.
TEST(ProfileReader, AProfileFromAFileSkipsUnsetVariablesAndKeepsProtectedTrees) {
  MachineCase c;
  c.machine.fs.AddFile("C:\\Windows\\System32\\drivers\\disk.sys");
  c.machine.fs.AddFile("C:\\ctso\\ab.dll");
  c.machine.fs.AddFile("C:\\Windows\\Help\\ctso\\x.chm");
  const auto read = Read(kHead + R"([[files]]
folder = '%CONTOSO%\'
masks = ["ab*"]
[[files]]
trees = ['%SYSTEMROOT%\System32\drivers', '%SYSTEMROOT%\Help\ctso']
)");
  ASSERT_TRUE(read.profile);
  auto run = c.Start();
  std::vector<std::string> messages;
  run->ctx.messages = &messages;
  profiles::Clean(run->ctx, *read.profile, true, true);
  EXPECT_EQ(messages, std::vector<std::string>{
                          "contoso.toml, line 4: %CONTOSO% is not set; %CONTOSO%\\ left out"});
  EXPECT_EQ(c.Deleted(), Lines{"C:\\Windows\\Help\\ctso"});
  EXPECT_EQ(c.NotDeleted(), Lines{"C:\\Windows\\System32\\drivers"});
  EXPECT_TRUE(c.Exists("C:\\Windows\\System32\\drivers\\disk.sys"));
  EXPECT_TRUE(c.Exists("C:\\ctso\\ab.dll"));
}

}  // namespace
}  // namespace quenk::test
