#include "analysis/trial_snapshot.hpp"

#include <algorithm>
#include <cstring>

namespace torvane {

namespace {

std::vector<float>& Channel(TrialDataSet& t, std::size_t k) {
  std::vector<float>* channels[] = {&t.Displacement, &t.Velocity, &t.Acceleration, &t.Force,
                                    &t.Power};
  return *channels[k];
}

const std::vector<float>& Channel(const TrialDataSet& t, std::size_t k) {
  return Channel(const_cast<TrialDataSet&>(t), k);
}

bool Taken(unsigned parts, std::size_t k) {
  return (parts & (1u << k)) != 0;
}

// The samples of a channel that belong to the trial.
std::size_t Reach(const std::vector<float>& channel, std::int32_t samples) {
  return std::min(static_cast<std::size_t>(std::max(samples, 0)), channel.size());
}

}  // namespace

TrialSnapshot TakeTrialSnapshot(const TrialDataSet& trial, const SettingsRecord& settings,
                                const AnalysisView& view, unsigned parts) {
  TrialSnapshot s;
  s.parts = parts;
  s.samples = settings.samples;
  s.view = view;
  for (std::size_t k = 0; k < 5; ++k) {
    if (!Taken(parts, k)) continue;
    const std::vector<float>& channel = Channel(trial, k);
    s.channels[k].assign(channel.begin(),
                         channel.begin() + static_cast<std::ptrdiff_t>(Reach(channel, s.samples)));
  }
  return s;
}

bool RestoreTrialSnapshot(const TrialSnapshot& s, TrialDataSet& trial, SettingsRecord& settings,
                          AnalysisView& view) {
  if ((s.parts & kSnapShape) == 0 && settings.samples != s.samples) return false;
  for (std::size_t k = 0; k < 5; ++k) {
    if (Taken(s.parts, k) && Channel(trial, k).size() < s.channels[k].size()) return false;
  }
  for (std::size_t k = 0; k < 5; ++k) {
    if (Taken(s.parts, k))
      std::copy(s.channels[k].begin(), s.channels[k].end(), Channel(trial, k).begin());
  }
  if ((s.parts & kSnapShape) != 0) {
    settings.samples = s.samples;
    view = s.view;
  }
  return true;
}

std::uint64_t TrialFingerprint(const TrialDataSet& trial, const SettingsRecord& settings,
                               unsigned parts) {
  // FNV-1a over the bytes.
  std::uint64_t h = 14695981039346656037ull;
  const auto mix = [&h](const void* data, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) h = (h ^ bytes[i]) * 1099511628211ull;
  };
  mix(&settings.samples, sizeof settings.samples);
  for (std::size_t k = 0; k < 5; ++k) {
    if (!Taken(parts, k)) continue;
    const std::vector<float>& channel = Channel(trial, k);
    mix(&k, sizeof k);
    mix(channel.data(), Reach(channel, settings.samples) * sizeof(float));
  }
  return h;
}

}  // namespace torvane
