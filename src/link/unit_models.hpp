#pragma once
// Each interface unit model described once for the link: how it is found,
// how its brake is set and which way the brake works, the highest rate it
// samples at. The collection's sample sources (acquisition/sample_sources)
// build on these.

#include <cstdint>
#include <string_view>

#include "config/interface_model.hpp"
#include "link/link_context.hpp"
#include "link/link_result.hpp"

namespace torvane {

// The ZRA6 and ZRA6+ sample at up to this rate.
inline constexpr std::int32_t kZra6MaximumFrequency = 500;

struct UnitModelDescriptor {
  InterfaceModel model;
  std::string_view name;
  // The highest sample frequency: 0 for the rate the unit reports when it
  // is found (MaxInterfaceFrequency), -1 for none.
  std::int32_t maximumFrequency;
  // The ZRA7 brakes as the displacement rises through zero and releases as
  // it falls; the ZRA6 and ZRA6+ the other way round.
  bool brakesOnTheWayUp;
  DiscoveryResult (*discover)(const LinkContext& ctx);
  void (*sendBrakeLevel)(const LinkContext& ctx, double levelPercent);
};

const UnitModelDescriptor& UnitModelOf(InterfaceModel model);
const UnitModelDescriptor& SelectedUnitModel(const SettingsRecord& settings);

}  // namespace torvane
