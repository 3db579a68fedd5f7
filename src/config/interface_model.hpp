#pragma once
// Which interface unit the settings select. The configuration file keeps one
// flag per model (ZRA6Input, ZRA6PlusInput, ZRA7Input); this is the one place
// that reads them as a model. The configuration window and the first-run
// window set exactly one; should a hand-edited file set more, the newest
// model wins, as discovery has always done.

#include "config/settings_record.hpp"

namespace torvane {

enum class InterfaceModel { None, Zra6, Zra6Plus, Zra7 };

inline InterfaceModel SelectedInterfaceModel(const SettingsRecord& s) {
  if (s.ZRA7Input) return InterfaceModel::Zra7;
  if (s.ZRA6PlusInput) return InterfaceModel::Zra6Plus;
  if (s.ZRA6Input) return InterfaceModel::Zra6;
  return InterfaceModel::None;
}

// Sets the model's flag and clears the others.
inline void SetInterfaceModelFlags(SettingsRecord& s, InterfaceModel model) {
  s.ZRA6Input = model == InterfaceModel::Zra6;
  s.ZRA6PlusInput = model == InterfaceModel::Zra6Plus;
  s.ZRA7Input = model == InterfaceModel::Zra7;
}

}  // namespace torvane
