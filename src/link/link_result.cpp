#include "link/link_result.hpp"

namespace torvane {

std::string_view Text(PortResult result) {
  switch (result) {
    case PortResult::Open:
      return "USB Port is open.";
    case PortResult::Closed:
      return "USB Port is closed.";
    case PortResult::CloseFailed:
      return "USB Port failure.";
    case PortResult::OpenFailed:
      return "USB port failed to open.";
    case PortResult::DataRateFailed:
      return "Setting USB port data rate failed.";
    case PortResult::BaudRateFailed:
      return "Setting USB Baud Rate failed.";
    case PortResult::DataCharacteristicsFailed:
      return "Setting USB port data characteristics failed.";
    case PortResult::FlowControlFailed:
      return "Setting USB port flow control failed.";
    case PortResult::TimeoutFailed:
      return "Setting USB port timeout failed.";
    case PortResult::LatencyTimerFailed:
      return "Setting USB port latency timer failed.";
    case PortResult::InputBufferSizeFailed:
      return "Setting USB input buffer size failed.";
    case PortResult::PurgeFailed:
      return "USB buffer purge failed.";
    case PortResult::Zra7NotFound:
      return "ZRA7 not found";
  }
  return {};
}

}  // namespace torvane
