#pragma once
// The serial port of this machine: a tty device (a USB-serial adapter, a
// built-in port or a pseudo-terminal) driven through POSIX termios, in raw
// mode and without blocking. Rates without a standard constant (250 000
// baud and the like) are set through the kernel's custom-rate interface.

#include <string>

#include "link/byte_port.hpp"

namespace torvane {

class SerialPort final : public BytePort {
 public:
  SerialPort() = default;
  ~SerialPort() override;
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;

  PortStatus Open(const std::string& path, const SerialSettings& settings) override;
  PortStatus Configure(const SerialSettings& settings) override;
  void Close() override;
  bool IsOpen() const override { return fd_ >= 0; }
  const std::string& Path() const override { return path_; }
  const SerialSettings& Settings() const override { return settings_; }

  PortStatus SetDtr(bool high) override;
  PortStatus Purge(bool input, bool output) override;
  PortCount BytesWaiting() override;
  PortCount OutputPending() override;
  PortStatus ReadAvailable(std::string& out, std::size_t maxBytes) override;
  PortStatus Write(std::string_view bytes, std::uint32_t limitMilliseconds) override;

  // False once DTR was refused because the device has no modem lines.
  bool HasModemLines() const { return hasModemLines_; }

 private:
  int fd_ = -1;
  std::string path_;
  SerialSettings settings_;
  bool hasModemLines_ = true;
};

// Sets a rate that has no standard termios constant on an open tty; 0 on
// success, else errno. Lives in a file of its own: the kernel header it
// needs cannot share a translation unit with <termios.h>.
int SetCustomBaudRate(int fd, unsigned int baud);

}  // namespace torvane
