#pragma once

#include "engine/Delete.h"
#include "engine/CleaningRecord.h"
#include "platform/sim/SimMachine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quenk::test {

using Lines = std::vector<std::string>;

// Counts the engine's progress steps.
struct StepCounter final : engine::Progress {
  int steps = 0;
  void Advance() override { ++steps; }
};

// A simulated machine with a cleaning record and a remover over it.
class SimFixture : public ::testing::Test {
 protected:
  sim::SimMachine machine;
  CleaningRecord record;
  StepCounter progress;
  engine::Remover remover{machine.ports(), record, progress};

  Lines Deleted() const { return record.Deleted().Lines(); }
  Lines NotDeleted() const { return record.NotDeleted().Lines(); }
  bool Exists(const std::string& path) { return machine.fs.Node(path) != nullptr; }
};

}  // namespace quenk::test
