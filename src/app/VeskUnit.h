#pragma once

#include "ControlIds.h"
#include "app/CommandLine.h"
#include "app/RunResult.h"
#include "engine/Progress.h"
#include "platform/Ports.h"
#include "run/Session.h"
#include "settings/OptionsHost.h"
#include "ui/Application.h"
#include "ui/Controls.h"
#include "ui/ListBox.h"
#include "ui/Menu.h"
#include "ui/TrayIcon.h"

#include <string>
#include <vector>

namespace quenk {

class TLogForm;
class TAboutForm;
class TOptionsForm;
class TPreviewForm;
class TRestoreForm;

// The main window: the item list, the clean list, the Clean button and its
// run, the menus and the tray icon, over the session's option flags.
class TVeskForm final : public ui::Form, public OptionsHost, private engine::Progress {
 public:
  // `arguments`: the command line after the program path.
  TVeskForm(ui::Application& app, platform::Ports ports, run::Session& session,
            Arguments arguments);

  // The windows created after this one.
  void SetWindows(TLogForm& log, TAboutForm& about, TOptionsForm& options, TPreviewForm& preview,
                  TRestoreForm& restore);

  void FormCreate() override;
  void FormShow() override;
  // Tells once what was wrong with the profile files beside the program.
  void FormStarted() override;
  void FormClose(ui::CloseAction& action) override;
  void FormDestroy() override;

  void ProcessCommandLine();
  void CleanButtonClick();
  void RefreshOpenPreview();
  void SelectButtonClick();
  void DeleteButtonClick();
  void CloseClick();
  void OptionsClick();
  void LogClick();
  void AboutClick();
  // Runs the forecast of the clean list, with the flags Clean would use, and shows it.
  void PreviewClick();
  void RestoreClick();
  void ApplicationEvents1Minimize();
  void Minimize1Click();
  void Restore1Click();
  void Exit1Click();

  void LoadSettings() override;
  void SaveSettings();
  void SetTrayIconVisible(bool visible) override { TrayIcon1.SetVisible(visible); }

  const OptionFlags& Flags() const { return session_.flags; }
  const SettingsFile& Settings() const { return session_.settings; }

 private:
  // Keeps the windows painted through a long run; no input gets in.
  void Advance() override {
    ProgressBar.StepBy(1);
    App().ProcessPaint();
  }
  // Tells in the status line what the run that began with the record's
  // lists at these sizes did.
  RunResult ShowRunResult(std::size_t deletedBefore, std::size_t notDeletedBefore, bool backupMade,
                          bool stopped, bool restartNeeded);

  platform::Ports ports_;
  run::Session& session_;
  Arguments arguments_;
  bool commandLineDone_ = false;
  TLogForm* log_ = nullptr;
  TAboutForm* about_ = nullptr;
  TOptionsForm* options_ = nullptr;
  TPreviewForm* preview_ = nullptr;
  bool cleaningFromPreview_ = false;
  TRestoreForm* restore_ = nullptr;

 public:
  ui::Label Label2{*this, IDC_VESK_LABEL2, "Label2", {8, 7, 29, 13}, "Select"};
  ui::Label Label1{*this, IDC_VESK_LABEL1, "Label1", {250, 7, 27, 13}, "Clean"};
  ui::ListBox ListBoxItemList{
      *this, IDC_VESK_ITEMLIST, "ListBoxItemList", {8, 26, 161, 151}, {true, 13}, 2};
  ui::Button SelectButton{*this, IDC_VESK_SELECT, "SelectButton", {175, 38, 69, 26}, ">>", 3};
  ui::Button DeleteButton{*this, IDC_VESK_DELETE, "DeleteButton", {175, 138, 69, 26}, "<<", 5};
  ui::ListBox ListBoxCleanItems{
      *this, IDC_VESK_CLEANITEMS, "ListBoxCleanItems", {250, 26, 170, 151}, {false, 13}, 4};
  ui::Button CleanButton{*this, IDC_VESK_CLEAN, "CleanButton", {8, 183, 92, 26}, "Clean", 0};
  ui::ProgressBar ProgressBar{*this, IDC_VESK_PROGRESS, "ProgressBar", {0, 215, 428, 17}};
  ui::Button PreviewButton{*this, IDC_VESK_PREVIEW, "PreviewButton", {106, 183, 92, 26}, "Preview",
                           6};
  ui::Label LabelStatus{*this, IDC_VESK_STATUS, "LabelStatus", {4, 234, 420, 16}, ""};

  ui::MenuItem Close1{"Close1", "&Close", IDM_MENU_CLOSE, {'Q', true}};
  ui::MenuItem Options1{"Options1", "&Options", IDM_TOOLS_OPTIONS, {'O', true}};
  ui::MenuItem Log1{"Log1", "&Log", IDM_TOOLS_LOG, {'L', true}};
  ui::MenuItem About1{"About1", "&About", IDM_HELP_ABOUT, {'H', true}};
  ui::MenuItem Preview1{"Preview1", "&Preview", IDM_TOOLS_PREVIEW, {'P', true}};
  ui::MenuItem RestoreBackup1{"RestoreBackup1", "&Restore...", IDM_TOOLS_RESTORE};
  ui::MainMenu MainMenu1{*this};

  ui::MenuItem Minimize1{"Minimize1", "&Minimize", IDM_TRAY_MINIMIZE};
  ui::MenuItem Restore1{"Restore1", "&Restore", IDM_TRAY_RESTORE};
  ui::MenuItem Exit1{"Exit1", "&Close", IDM_TRAY_EXIT};
  ui::PopupMenu PopupMenu1{*this, {&Minimize1, &Restore1, &Exit1}};
  ui::TrayIcon TrayIcon1;
  ui::ApplicationEvents ApplicationEvents1;
};

}  // namespace quenk
