#pragma once
// The analysis window's graph as plain rules: the y range of the shown
// channel, zoom and scroll of the samples shown, the marker buttons, the
// marker click, the phase and jump-frame lines, the mouse read-out and the
// mapping between pixels and samples. The widget draws what these decide.
//
// Every rule keeps both markers inside the trial (0 … N − 1) with marker 1
// left of marker 2, and the view inside the trial.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "analysis/seek_statistics.hpp"
#include "config/settings_record.hpp"
#include "results/process_data.hpp"
#include "trial/analysis_view.hpp"

namespace torvane {

// The y axis of the graph: bottom and top.
struct YRange {
  double YMin = 0;
  double YMax = 100;
};

// The channel word beside the marker read-outs ("disp", "veloc", "force",
// "accel", "power") and the channel's unit on the y axis.
const char* ChannelWord(ShownChannel channel);
const char* ChannelUnit(ShownChannel channel);

// SetDataParameters: with `resetWindow` the view and markers cover the whole
// trial. The y range is the minimum and maximum of the shown channel over the
// whole trial, however large (a strong jump's power passes 10 000 W); a top
// of 0 becomes 100 and a flat channel gets room above and below it, so that
// the graph always has a height. A view ending at 0 becomes 0 … 100.
YRange SetDataParameters(AnalysisView& view, std::span<const float> channel, std::int32_t samples,
                         bool resetWindow);

// Both markers within 0 … N − 1 and marker 1 before marker 2 (for a trial
// of two samples or more); the view within the trial.
void ClampMarkers(AnalysisView& view, std::int32_t samples);

// Zoom and scroll of the samples shown (w = ViewEnd − ViewStart). Zoom in
// takes a tenth of w off each end (nothing once that is under half a
// sample); zoom out adds a tenth (at least one sample) up to the trial's
// ends; scroll moves both ends 10 samples and stops at the trial's ends.
void ZoomIn(AnalysisView& view, std::int32_t samples);
void ZoomOut(AnalysisView& view, std::int32_t samples);
void ZoomToMarkers(AnalysisView& view, std::int32_t samples);
void Expand(AnalysisView& view, std::int32_t samples);
void ScrollLeft(AnalysisView& view, std::int32_t samples);
void ScrollRight(AnalysisView& view, std::int32_t samples);
// Wheel zoom about a sample: the width times `factor` (below 1 zooms in),
// the sample staying where it was on the axis; at least 4 samples wide.
void ZoomAbout(AnalysisView& view, std::int32_t samples, double centreSample, double factor);

enum class SelectedMarker { Marker1, Marker2 };

// The marker buttons without seek: one sample (butMarkLeft, butMarkRight)
// or ten (butMarkLeft10, butMarkRight10). Marker 1 stays at least two
// samples left of marker 2 after a step of one.
void MarkRight(AnalysisView& view, std::int32_t samples, SelectedMarker selected);
void MarkLeft(AnalysisView& view, std::int32_t samples, SelectedMarker selected);
void MarkRight10(AnalysisView& view, std::int32_t samples, SelectedMarker selected);
void MarkLeft10(AnalysisView& view, std::int32_t samples, SelectedMarker selected);

// The marker buttons with seek: the selected marker goes to the feature
// found from the sample after it (forwards) or before it (backwards).
void SeekMarker(AnalysisView& view, const TrialDataSet& trial, const SettingsRecord& settings,
                SelectedMarker selected, bool forwards, ShownChannel channel,
                const SeekOptions& options);

// A left click on the graph at sample position x: marker 1 goes to the
// nearest sample when x lies left of marker 2, marker 2 when x lies right
// of marker 1. Returns whether a marker moved.
bool ClickMarker(AnalysisView& view, std::int32_t samples, SelectedMarker selected, double x);
// A marker dragged to x: the nearest sample, kept inside the trial and on
// its own side of the other marker.
void DragMarker(AnalysisView& view, std::int32_t samples, SelectedMarker marker, double x);

// The vertical lines of the phases, in samples: green at each phase time
// above 0 (when "show phases" is ticked), dark blue at the movement onset
// and the landing (when "frame jump" is ticked too).
struct PhaseLines {
  std::vector<double> phases;
  std::vector<double> jumpFrame;
};
PhaseLines PhaseLineSamples(const AnalysisView& view, std::int32_t frequency, bool showPhases,
                            bool frameJump);

// The results run that follows every update of the markers or the trial.
// With frameJump, the run first finds this trial's phases over the
// analysis range, sets the jump frame from them, and then analyses the
// jump frame: a jump frame is never taken from the trial shown before.
TrialResults RunResults(const TrialDataSet& trial, const SettingsRecord& settings,
                        AnalysisView& view, const ResultsOptions& options);

// The mouse read-out at sample position x: "time, value", both "0.000",
// for the sample nearest to x within the trial; empty for an empty trial.
std::string MouseReadout(double x, std::span<const float> channel, std::int32_t samples,
                         std::int32_t frequency);
// The sample nearest to x within the trial (-1 for an empty trial).
std::int32_t NearestSample(double x, std::int32_t samples);

// The mapping between a pixel column of the plot area (left edge, width in
// pixels) and a sample position of the view.
double SampleAtPixel(double pixel, double plotLeft, double plotWidth, double viewStart,
                     double viewEnd);
double PixelOfSample(double sample, double plotLeft, double plotWidth, double viewStart,
                     double viewEnd);

}  // namespace torvane
