#pragma once
// A simulated unit on a loopback line: it hears every write at once and
// sends what falls due as the fake clock moves.

#include <memory>

#include "common/fake_event_loop.hpp"
#include "link/loopback_port.hpp"
#include "sim/unit_emulator.hpp"

namespace torvane::testing {

inline std::unique_ptr<sim::UnitEmulator> AttachSimulatedUnit(
    FakeEventLoop& loop, const std::shared_ptr<LoopbackLine>& line, sim::UnitModel model,
    sim::ProfileKind profile = sim::ProfileKind::Still) {
  sim::UnitOptions options;
  options.model = model;
  options.profile = profile;
  auto unit = sim::MakeUnitEmulator(options);
  sim::UnitEmulator* u = unit.get();
  LoopbackLine* l = line.get();
  line->onWrite = [&loop, u, l](const std::string& bytes) {
    u->Receive(bytes, loop.Milliseconds());
    l->Deliver(u->Produce(loop.Milliseconds()));
  };
  loop.SetPumpHook([&loop, u, l] { l->Deliver(u->Produce(loop.Milliseconds())); });
  return unit;
}

}  // namespace torvane::testing
