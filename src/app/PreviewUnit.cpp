#include "app/PreviewUnit.h"

#include "platform/OneRun.h"

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
  Forecast forecast = RunForecast(ports_, entries, flags, *this, [this] { App().ProcessPaint(); });
  ListBoxDeleted.Items().Assign(std::move(forecast.deleted));
  ListBoxStay.Items().Assign(std::move(forecast.notDeleted));
  LabelStatus.SetCaption(forecast.stop.empty() ? "Nothing has been deleted."
                                               : "The cleaning would stop here: " + forecast.stop);
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
