#include "acquisition/link_debug_report.hpp"

#include "acquisition/collection_session.hpp"
#include "acquisition/sample_sources.hpp"
#include "common/text_file.hpp"
#include "link/port_access.hpp"

namespace torvane {

namespace {

const char* YesNo(bool value) {
  return value ? "yes" : "no";
}

const char* PhaseName(CollectionPhase phase) {
  switch (phase) {
    case CollectionPhase::Idle:
      return "idle";
    case CollectionPhase::CountIn:
      return "count-in";
    case CollectionPhase::Collecting:
      return "collecting";
    case CollectionPhase::Processing:
      return "finishing";
  }
  return "";
}

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return OneLineText(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

}  // namespace

DebugRows LinkDebugRows(const CollectionContext& cx) {
  const SettingsRecord& s = cx.settings;
  const LinkState& link = cx.link;
  const CollectionState& c = cx.collection;
  DebugRows rows;
  const auto row = [&rows](std::string label, std::string value) {
    rows.emplace_back(std::move(label), std::move(value));
  };
  const SampleSource& source = SelectedSampleSource(s, cx.demoMode);
  row("Source", std::string(source.name) + (cx.demoMode ? " (demonstration mode)" : ""));
  if (s.ZRA7Input || s.ZRA6PlusInput) {
    row("USB device", OneLineText(UsbDevicePath(s)));
    row("USB port open", YesNo(link.usb.UsbPortIsOpen));
    row("USB last message", OneLineText(link.usb.LastUsbMessage));
  }
  if (s.ZRA7Input) {
    row("ZRA7 found", YesNo(link.zra7.Zra7Found));
    row("ZRA7 streaming", YesNo(link.zra7.Zra7Streaming));
    row("ZRA7 firmware", Trimmed(link.zra7.Zra7FirmwareVersion));
    row("ZRA7 serial number", Trimmed(link.zra7.Zra7SerialNumber));
    row("ZRA7 status word", Trimmed(link.zra7.Zra7StatusWord));
  }
  if (s.ZRA6Input || s.ZRA6PlusInput) {
    if (s.ZRA6Input) {
      row("Serial device", OneLineText(SerialDevicePath(s, s.comportnum)));
      row("Serial port open", YesNo(link.serial.port && link.serial.port->IsOpen()));
    }
    row("Unit identity", OneLineText(link.serial.InterfaceInfoText));
    row("ZRA6+ streaming", YesNo(link.serial.Zra6PlusStreaming));
  }
  if (s.AccelInput) {
    row("Accelerometer device", OneLineText(SerialDevicePath(s, s.accelcomportnum)));
    row("Accelerometer port open", YesNo(link.accel.port && link.accel.port->IsOpen()));
    row("Accelerometer streaming", YesNo(link.accel.AccelStreaming));
  }
  row("Sample frequency", std::to_string(s.frequency) + " Hz");
  row("Collection", PhaseName(c.phase));
  row("Samples", std::to_string(cx.trial.SampleCount) + " of " + std::to_string(s.samples));
  row("Frames accepted", std::to_string(c.frames.accepted));
  row("Frames rejected", std::to_string(c.frames.rejected));
  row("Samples held", std::to_string(c.frames.held));
  row("Bytes received", std::to_string(c.bytesReceived));
  if (c.processedCount > 0 && c.phase == CollectionPhase::Idle) {
    row("Last collection", CollectionOutcomeText(c, s.samples));
  }
  return rows;
}

std::string DebugRowsText(const DebugRows& rows) {
  std::string text;
  for (const auto& [label, value] : rows) text += label + ": " + value + "\n";
  return text;
}

}  // namespace torvane
