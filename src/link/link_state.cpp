#include "link/link_state.hpp"

#include "link/serial_port.hpp"

namespace torvane {

LinkState::LinkState() {
  serial.port = std::make_unique<SerialPort>();
  accel.port = std::make_unique<SerialPort>();
}

}  // namespace torvane
