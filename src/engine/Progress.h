#pragma once

namespace quenk::engine {

// The run's progress bar as the engine sees it: one step forward, never past
// the maximum. Keeps the engine free of any window.
class Progress {
 public:
  virtual void Advance() = 0;

 protected:
  ~Progress() = default;
};

}  // namespace quenk::engine
