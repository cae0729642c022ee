#pragma once

#include "ControlIds.h"
#include "engine/Progress.h"
#include "platform/Ports.h"
#include "profiles/Catalog.h"
#include "run/OptionFlags.h"
#include "ui/Application.h"
#include "ui/Controls.h"
#include "ui/ListBox.h"

#include <functional>
#include <string>
#include <vector>

namespace quenk {

// The Preview window: what a cleaning of the clean list would delete and
// what would stay, before anything is deleted.
class TPreviewForm final : public ui::Form, private engine::Progress {
 public:
  TPreviewForm(ui::Application& app, platform::Ports ports,
               const profiles::Catalog& catalog = profiles::BuiltinCatalog());

  // Runs the forecast of `entries` with `flags` and shows its lists.
  void ShowForecast(const std::vector<std::string>& entries, const OptionFlags& flags);
  void ButtonCleanNowClick();
  void ButtonCloseClick() { Close(); }
  void ListBoxStayClick();

  // Runs Clean on the main window's clean list.
  std::function<void()> onCleanNow;

 private:
  // Keeps the windows painted while a large forecast runs.
  void Advance() override { App().ProcessPaint(); }
  void ShowCounts();

  platform::Ports ports_;
  const profiles::Catalog& catalog_;
  std::vector<std::string> reasons_;  // beside the lines of ListBoxStay

 public:
  ui::Label LabelDeleted{
      *this, IDC_PREVIEW_LABELDELETED, "LabelDeleted", {8, 8, 300, 16}, "Will be deleted: 0"};
  ui::ListBox ListBoxDeleted{
      *this, IDC_PREVIEW_DELETED, "ListBoxDeleted", {8, 26, 504, 136}, {false, 13, true}, 0};
  ui::Label LabelStay{*this, IDC_PREVIEW_LABELSTAY, "LabelStay", {8, 170, 300, 16}, "Will stay: 0"};
  ui::ListBox ListBoxStay{
      *this, IDC_PREVIEW_STAY, "ListBoxStay", {8, 188, 504, 88}, {false, 13, true}, 1};
  ui::Label LabelStatus{*this, IDC_PREVIEW_STATUS, "LabelStatus", {8, 284, 504, 16}, ""};
  ui::Button ButtonCleanNow{
      *this, IDC_PREVIEW_CLEANNOW, "ButtonCleanNow", {356, 306, 75, 25}, "Clean now", 2};
  ui::Button ButtonClose{*this, IDC_PREVIEW_CLOSE, "ButtonClose", {437, 306, 75, 25}, "Close", 3};
  ui::Label LabelReason{*this, IDC_PREVIEW_REASON, "LabelReason", {8, 310, 342, 16}, ""};
};

}  // namespace quenk
