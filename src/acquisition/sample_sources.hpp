#pragma once
// Each source of samples described once: the ZRA6 on a serial port, the
// ZRA6+ and ZRA7 over USB, the accelerometer, the demonstration trial, and
// "no unit" (a collection that never receives anything). The collection
// session goes through the descriptor of the selected source and never asks
// which source it is; a new model, or a replay source for tests, is one
// more descriptor.

#include <cstdint>
#include <span>
#include <string_view>

#include "acquisition/collection_context.hpp"
#include "acquisition/collection_state.hpp"
#include "config/interface_model.hpp"

namespace torvane {

// Whether the source's frames carry force values.
enum class ForceChannels {
  Never,       // the accelerometer: force is derived
  Selectable,  // ZRA6, ZRA6+: force is streamed when RecordForce is set at Start
  Always,      // ZRA7: the four force channels are always in the frame
};

struct SampleSource {
  CollectionSource id;
  // The interface unit model behind the source (None for the others).
  InterfaceModel unit;
  std::string_view name;
  // Live sources stream from a unit through a port; the demonstration trial
  // is read from a file at once (no count-in, no port, no sound).
  bool live;
  // The highest frequency the source streams at: 0 for the unit's own
  // maximum (MaxInterfaceFrequency), -1 for no limit here.
  std::int32_t maximumFrequency;
  // The unit streams at its own rate and every d-th frame is a sample.
  bool thinsFrames;
  ForceChannels forceChannels;
  // The unit measures acceleration (integrated to velocity and displacement)
  // rather than displacement and force.
  bool measuresAcceleration;
  // The brake follows the velocity during a collection (BrakeLevel ≠ 0).
  bool drivesBrake;
  // Named in the status log when the unit goes away mid-collection.
  std::string_view unitNoun;

  // Starts the stream (after the count-in and the start sound).
  void (*start)(const CollectionContext& cx);
  // One monitor tick's gathering and decoding while samples are due.
  void (*collectTick)(const CollectionContext& cx);
  // Moves what the port holds into the stream text; false when the port failed.
  bool (*gather)(const CollectionContext& cx);
  // The port is open and answers.
  bool (*alive)(const CollectionContext& cx);
  // Stop was pressed: what must stop at once (nothing arrives afterwards).
  void (*stopAtOnce)(const CollectionContext& cx);
  // Stops the stream when the collection finishes normally.
  void (*stop)(const CollectionContext& cx);
  // Closes the port of a unit that went away (no stop command reaches it).
  void (*closeLost)(const CollectionContext& cx);
  // After the stream stopped: what still arrives is gathered, not decoded.
  bool gatherAfterStop;
  // After the trial is processed: the port's input is cleared.
  void (*clearInput)(const CollectionContext& cx);
  // Connects what the link calls back during a stream (a stream reader, the
  // monitor switch) to this collection; run once for every source.
  void (*connect)(const CollectionContext& cx);
};

// The source a collection started now would read: the demonstration trial
// in demonstration mode, else the accelerometer when it is the input, else
// the source of the selected interface unit model; "no unit" when none is
// selected.
const SampleSource& SelectedSampleSource(const SettingsRecord& settings, bool demoMode);
// Every source, "no unit" first.
std::span<const SampleSource> SampleSources();
// The descriptor of a source by its id.
const SampleSource& SampleSourceOf(CollectionSource id);

}  // namespace torvane
