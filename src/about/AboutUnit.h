#pragma once

#include "ControlIds.h"
#include "ui/Application.h"
#include "ui/Controls.h"
#include "ui/ListBox.h"

namespace quenk {

// The About window: three fixed texts, one shown at a time.
class TAboutForm final : public ui::Form {
 public:
  explicit TAboutForm(ui::Application& app);

  void FormCreate() override;
  void ListBox1Click();
  void OKClick() { Close(); }

  ui::Button OK{*this, IDC_ABOUT_OK, "OK", {95, 235, 75, 25}, "OK", 0};
  ui::ListBox ListBox1{*this, IDC_ABOUT_LISTBOX1, "ListBox1", {8, 8, 81, 221}, {}, 1};
  ui::Memo MemoAbout;
  ui::Memo MemoDonate;
  ui::Memo MemoContact;
};

}  // namespace quenk
