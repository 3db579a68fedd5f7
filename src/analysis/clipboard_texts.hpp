#pragma once
// The tab-separated texts the "Graph Options" window puts on the clipboard:
// all five channels, or the shown one, over the range between the markers
// or over the phase range (movement onset to landing). Lines end with CR LF.

#include <cstdint>
#include <string>

#include "analysis/seek_statistics.hpp"
#include "common/clock.hpp"
#include "config/settings_record.hpp"
#include "trial/analysis_view.hpp"
#include "trial/trial_data_set.hpp"

namespace torvane {

enum class ClipboardRange {
  BetweenPoints,  // AnalysisStart … AnalysisEnd
  Phase,          // MovementOnsetTime × fs … LandingTime × fs
};

// The channel's word in the header of the shown-channel export.
const char* ClipboardChannelWord(ShownChannel channel);

// "Copy all data sets between points to Clipboard": a title line, the date,
// time and mass, the column names and one row per sample of time and the
// five channels.
std::string AllDataSetsClipboardText(const TrialDataSet& trial, const SettingsRecord& settings,
                                     const AnalysisView& view, ClipboardRange range,
                                     const LocalDateTime& now);

// "Copy currently displayed dataset between points to Clipboard": a header
// and one row per sample of the shown channel, each preceded by the time when
// `includeTime` ("include time data set").
std::string ShownDataSetClipboardText(const TrialDataSet& trial, const SettingsRecord& settings,
                                      const AnalysisView& view, ClipboardRange range,
                                      ShownChannel channel, bool includeTime);

}  // namespace torvane
