#pragma once

#include "settings/OptionsHost.h"
#include "run/SettingsFile.h"
#include "ui/Controls.h"
#include "ui/Form.h"

namespace quenk {

// One page of the Options window: a frame that reads and writes its own keys.
class OptionsPage : public ui::Frame {
 public:
  OptionsPage(ui::Container& parent, int id, std::string name, std::string className,
              ui::Rect bounds, int tabOrder, const SettingsFile& settings, OptionsHost& host)
      : ui::Frame(parent, id, std::move(name), std::move(className), bounds, tabOrder),
        settings_(settings),
        host_(host) {}

  virtual void LoadPage() = 0;
  virtual void SavePage() = 0;
  void ApplyPage() { SavePage(); }
  void ApplyPageAndClose() {
    SavePage();
    OwnerForm().Close();
  }

 protected:
  const SettingsFile& settings_;
  OptionsHost& host_;
};

}  // namespace quenk
