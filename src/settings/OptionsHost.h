#pragma once

namespace quenk {

// What the Options window needs of the main window.
class OptionsHost {
 public:
  // Reloads the option flags from the settings file.
  virtual void LoadSettings() = 0;
  virtual void SetTrayIconVisible(bool visible) = 0;

 protected:
  ~OptionsHost() = default;
};

}  // namespace quenk
