// The debug window's rows: the unit and its device, the identity it gave,
// and the counts of the last collection, as a ZRA7 collection leaves them.
#include "acquisition/link_debug_report.hpp"

#include <gtest/gtest.h>

#include <map>

#include "acquisition/collection_session.hpp"
#include "link/interface_discovery.hpp"
#include "link/link_fixture.hpp"
#include "link/simulated_unit.hpp"
#include "shell/acquisition_session.hpp"

namespace torvane::testing {
namespace {

TEST(LinkDebugReport, AZra7CollectionShowsTheDeviceTheUnitAndTheFrameCounts) {
  LinkFixture f;
  f.SelectZra7();
  auto unit = AttachSimulatedUnit(f.loop, f.usb, sim::UnitModel::Zra7);
  ASSERT_EQ(DiscoverInterface(f.ctx), DiscoveryResult::Found);
  DimensionDataArrays(f.session.trial, 1200);
  const CollectionContext cx = CollectionContextOf(f.session);
  f.session.collection.durationSeconds = 1;  // 600 samples at the ZRA7's rate
  StartOrStopCollection(cx);
  ASSERT_TRUE(WaitUntil(f.loop, f.loop, 3000, [&] { return !f.session.collection.collecting; }));

  std::map<std::string, std::string> rows;
  for (const auto& [label, value] : LinkDebugRows(cx)) rows[label] = value;
  EXPECT_EQ(rows["USB device"], "/dev/test-usb");
  EXPECT_EQ(rows["ZRA7 found"], "yes");
  EXPECT_EQ(rows["ZRA7 firmware"], "V3.10");
  EXPECT_EQ(rows["Collection"], "idle");
  EXPECT_EQ(rows["Samples"], "600 of 600");
  EXPECT_EQ(rows["Frames rejected"], "0");
  EXPECT_NE(rows["Frames accepted"], "0");
  EXPECT_EQ(rows["Last collection"],
            "Collection complete: 600 samples, every one from a whole frame");
  EXPECT_EQ(rows.count("Serial device"), 0u);  // no serial unit selected
  const std::string text = DebugRowsText(LinkDebugRows(cx));
  EXPECT_NE(text.find("ZRA7 found: yes\n"), std::string::npos);
}

}  // namespace
}  // namespace torvane::testing
