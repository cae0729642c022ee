#include "app/PreviewUnit.h"

#include "platform/OneRun.h"
#include "run/CleaningRun.h"
#include "run/RunStamp.h"

namespace quenk {

TPreviewForm::TPreviewForm(ui::Application& app, platform::Ports ports)
    : ui::Form(app, {"TPreviewForm", "Preview", 520, 339, false, false}), ports_(ports) {
  ButtonCleanNow.onClick = [this] { ButtonCleanNowClick(); };
  ButtonClose.onClick = [this] { ButtonCloseClick(); };
}

void TPreviewForm::ShowForecast(const std::vector<std::string>& entries, const OptionFlags& flags) {
  if (entries.empty()) {
    ListBoxDeleted.Items().Clear();
    ListBoxStay.Items().Clear();
    LabelStatus.SetCaption("Nothing to clean.");
    ShowCounts();
    return;
  }
  struct Busy {
    ui::Application& app;
    explicit Busy(ui::Application& a) : app(a) { app.SetBusy(true); }
    ~Busy() { app.SetBusy(false); }
  } busy(App());
  const auto held = platform::HoldTheRun(ports_);
  run::CleaningRun forecast({ports_, entries, flags,
                             FreshStamp(ports_.fs, ports_.locale, StampWait::kNever),
                             run::Mode::kForecast});
  CleaningRecord record;
  const run::RunEnd end = forecast.Perform(record, *this, [this] { App().ProcessPaint(); });
  ListBoxDeleted.Items().Assign(record.Deleted().Lines());
  ListBoxStay.Items().Assign(record.NotDeleted().Lines());
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
