#pragma once
// A session whose three ports (USB, ZRA6 serial, accelerometer) are
// in-memory loopback lines, on simulated time, with the status-log lines
// collected.

#include <memory>
#include <string>
#include <vector>

#include "link/link_context.hpp"
#include "link/loopback_port.hpp"
#include "shell/link_session.hpp"
#include "test_support.hpp"

namespace torvane::testing {

struct LinkFixture {
  TestSession t;
  Session& session = t.session;
  FakeEventLoop& loop = t.loop;
  std::shared_ptr<LoopbackLine> usb = std::make_shared<LoopbackLine>();
  std::shared_ptr<LoopbackLine> serial = std::make_shared<LoopbackLine>();
  std::shared_ptr<LoopbackLine> accel = std::make_shared<LoopbackLine>();
  std::vector<std::string> log;
  // What the link operations are called with.
  LinkContext ctx = LinkContextOf(session);

  LinkFixture() {
    session.link.usb.device.SetPort(std::make_unique<LoopbackPort>(usb));
    session.link.serial.port = std::make_unique<LoopbackPort>(serial);
    session.link.accel.port = std::make_unique<LoopbackPort>(accel);
    SettingsRecord& s = session.settings;
    s.ports["USB"] = "/dev/test-usb";
    s.ports["COM1"] = "/dev/test-com1";
    s.ports["COM2"] = "/dev/test-com2";
    s.comportnum = 1;
    s.baudrate = 115200;
    s.accelcomportnum = 2;
    s.frequency = 200;
    session.statusLog.messageListeners.push_back(
        [this](std::string_view message) { log.emplace_back(message); });
  }

  void SelectZra7() { session.settings.ZRA7Input = true; }
  void SelectZra6Plus() { session.settings.ZRA6PlusInput = true; }
  void SelectZra6() { session.settings.ZRA6Input = true; }
};

}  // namespace torvane::testing
