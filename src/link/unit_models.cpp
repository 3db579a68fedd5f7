#include "link/unit_models.hpp"

#include <array>

#include "link/brake.hpp"
#include "link/interface_discovery.hpp"

namespace torvane {

namespace {

DiscoveryResult NoUnitToDiscover(const LinkContext&) {
  return DiscoveryResult::NoUnitSelected;
}
void NoBrake(const LinkContext&, double) {}

constexpr std::array<UnitModelDescriptor, 4> kModels{{
    {InterfaceModel::None, "no unit", -1, false, NoUnitToDiscover, NoBrake},
    {InterfaceModel::Zra6, "ZRA6", kZra6MaximumFrequency, false, DiscoverZra6, SendZra6BrakeLevel},
    {InterfaceModel::Zra6Plus, "ZRA6+", kZra6MaximumFrequency, false, DiscoverZra6Plus,
     SendZra6PlusBrakeLevel},
    {InterfaceModel::Zra7, "ZRA7", 0, true, DiscoverZra7, SendZra7BrakeLevel},
}};

}  // namespace

const UnitModelDescriptor& UnitModelOf(InterfaceModel model) {
  for (const UnitModelDescriptor& d : kModels) {
    if (d.model == model) return d;
  }
  return kModels[0];
}

const UnitModelDescriptor& SelectedUnitModel(const SettingsRecord& settings) {
  return UnitModelOf(SelectedInterfaceModel(settings));
}

}  // namespace torvane
