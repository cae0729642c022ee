#include "app/PreviewUnit.h"

#include "platform/OneRun.h"
#include "run/CleaningRun.h"
#include "run/RunStamp.h"

namespace quenk {

TPreviewForm::TPreviewForm(ui::Application& app, platform::Ports ports,
                           const profiles::Catalog& catalog)
    : ui::Form(app, {"TPreviewForm", "Preview", 520, 339, false, false}),
      ports_(ports),
      catalog_(catalog) {
  ButtonCleanNow.onClick = [this] { ButtonCleanNowClick(); };
  ButtonClose.onClick = [this] { ButtonCloseClick(); };
  ListBoxStay.onClick = [this] { ListBoxStayClick(); };
}

void TPreviewForm::ListBoxStayClick() {
  const int index = ListBoxStay.ItemIndex();
  const std::string reason = index >= 0 && static_cast<std::size_t>(index) < reasons_.size()
                                 ? reasons_[static_cast<std::size_t>(index)]
                                 : std::string();
  LabelReason.SetCaption(reason.empty() ? "" : "Why: " + reason);
}

void TPreviewForm::ShowForecast(const std::vector<std::string>& entries, const OptionFlags& flags) {
  if (entries.empty()) {
    ListBoxDeleted.Items().Clear();
    ListBoxStay.Items().Clear();
    reasons_.clear();
    ListBoxStayClick();
    LabelStatus.SetCaption("Nothing to clean.");
    ShowCounts();
    return;
  }
  const ui::BusyCursor busy(App());
  const auto held = platform::HoldTheRun(ports_);
  run::CleaningRun forecast({ports_, entries, flags,
                             FreshStamp(ports_.fs, ports_.locale, StampWait::kNever),
                             run::Mode::kForecast, &catalog_});
  CleaningRecord record;
  const run::RunEnd end = forecast.Perform(record, *this, [this] { App().ProcessPaint(); });
  ListBoxDeleted.Items().Assign(record.Deleted().Lines());
  ListBoxStay.Items().Assign(record.NotDeleted().Lines());
  reasons_ = record.Reasons();
  ListBoxStayClick();
  LabelStatus.SetCaption(end.Completed() ? "Nothing has been deleted."
                                         : "The cleaning would stop here: " + end.stop);
  ShowCounts();
}

void TPreviewForm::ShowCounts() {
  LabelDeleted.SetCaption("Will be deleted: " + std::to_string(ListBoxDeleted.Count()));
  LabelStay.SetCaption("Will stay: " + std::to_string(ListBoxStay.Count()));
}

void TPreviewForm::ButtonCleanNowClick() {
  try {
    if (onCleanNow) onCleanNow();
  } catch (...) {
    Close();  // its forecast is out of date however the run ended
    throw;
  }
  Close();
}

}  // namespace quenk
