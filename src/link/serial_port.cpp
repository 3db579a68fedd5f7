#include "link/serial_port.hpp"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

namespace torvane {

namespace {

// The rates termios names; anything else goes through SetCustomBaudRate.
speed_t StandardSpeed(std::uint32_t baud) {
  struct Rate {
    std::uint32_t baud;
    speed_t speed;
  };
  static constexpr Rate kRates[] = {
      {50, B50},           {75, B75},           {110, B110},         {134, B134},
      {150, B150},         {200, B200},         {300, B300},         {600, B600},
      {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
      {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
      {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
      {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
      {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
      {3500000, B3500000}, {4000000, B4000000},
  };
  for (const Rate& r : kRates) {
    if (r.baud == baud) return r.speed;
  }
  return B0;
}

PortStatus Errno() {
  return PortStatus::FromErrno(errno);
}

std::uint64_t NowMs() {
  using namespace std::chrono;
  return static_cast<std::uint64_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace

SerialPort::~SerialPort() {
  Close();
}

PortStatus SerialPort::Open(const std::string& path, const SerialSettings& settings) {
  Close();
  path_ = path;
  if (path.empty()) return PortStatus::Failed(PortErrorKind::NoDevice, ENOENT);
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return Errno();
  if (!::isatty(fd)) {
    ::close(fd);
    return PortStatus::Failed(PortErrorKind::NoDevice, ENOTTY);
  }
  // An advisory lock keeps a second copy of the program off the port; it is
  // released with the descriptor, also when the program ends abnormally.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const PortStatus status = Errno();
    ::close(fd);
    return status;
  }
  fd_ = fd;
  hasModemLines_ = true;
  const PortStatus status = Configure(settings);
  if (!status.ok()) Close();
  return status;
}

PortStatus SerialPort::Configure(const SerialSettings& s) {
  if (fd_ < 0) return PortStatus::Failed(PortErrorKind::NotOpen, EBADF);
  if (s.baud == 0 || s.dataBits < 5 || s.dataBits > 8 || s.stopBits < 1 || s.stopBits > 2) {
    return PortStatus::Failed(PortErrorKind::BadSettings, EINVAL);
  }
  termios tio{};
  if (::tcgetattr(fd_, &tio) != 0) return Errno();
  ::cfmakeraw(&tio);
  tio.c_cflag |= CLOCAL | CREAD;
  tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
  tio.c_cflag |= s.dataBits == 5 ? CS5 : s.dataBits == 6 ? CS6 : s.dataBits == 7 ? CS7 : CS8;
  if (s.parity != Parity::None) tio.c_cflag |= PARENB;
  if (s.parity == Parity::Odd) tio.c_cflag |= PARODD;
  if (s.stopBits == 2) tio.c_cflag |= CSTOPB;
  tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
  if (s.flow == FlowControl::RtsCts) tio.c_cflag |= CRTSCTS;
  if (s.flow == FlowControl::XonXoff) tio.c_iflag |= IXON | IXOFF;
  // Reads return at once with what is there.
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
  const speed_t speed = StandardSpeed(s.baud);
  const bool custom = speed == B0;
  ::cfsetispeed(&tio, custom ? B38400 : speed);
  ::cfsetospeed(&tio, custom ? B38400 : speed);
  if (::tcsetattr(fd_, TCSANOW, &tio) != 0) return Errno();
  if (custom) {
    if (const int error = SetCustomBaudRate(fd_, s.baud); error != 0) {
      return PortStatus::Failed(PortErrorKind::BadSettings, error);
    }
  } else {
    // tcsetattr succeeds when any one change was taken; check the rate was.
    termios check{};
    if (::tcgetattr(fd_, &check) != 0) return Errno();
    if (::cfgetospeed(&check) != speed)
      return PortStatus::Failed(PortErrorKind::BadSettings, EINVAL);
  }
  settings_ = s;
  return PortStatus::Ok();
}

void SerialPort::Close() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
}

PortStatus SerialPort::SetDtr(bool high) {
  if (fd_ < 0) return PortStatus::Failed(PortErrorKind::NotOpen, EBADF);
  int bits = TIOCM_DTR;
  if (::ioctl(fd_, high ? TIOCMBIS : TIOCMBIC, &bits) != 0) {
    // A pseudo-terminal has no modem lines: there is no DTR to change.
    if (errno == ENOTTY || errno == EINVAL) {
      hasModemLines_ = false;
      return PortStatus::Ok();
    }
    return Errno();
  }
  return PortStatus::Ok();
}

PortStatus SerialPort::Purge(bool input, bool output) {
  if (fd_ < 0) return PortStatus::Failed(PortErrorKind::NotOpen, EBADF);
  if (!input && !output) return PortStatus::Ok();
  const int which = input && output ? TCIOFLUSH : input ? TCIFLUSH : TCOFLUSH;
  if (::tcflush(fd_, which) != 0) return Errno();
  return PortStatus::Ok();
}

PortCount SerialPort::BytesWaiting() {
  if (fd_ < 0) return {PortStatus::Failed(PortErrorKind::NotOpen, EBADF), 0};
  int n = 0;
  if (::ioctl(fd_, FIONREAD, &n) != 0) return {Errno(), 0};
  return {PortStatus::Ok(), static_cast<std::size_t>(n < 0 ? 0 : n)};
}

PortCount SerialPort::OutputPending() {
  if (fd_ < 0) return {PortStatus::Failed(PortErrorKind::NotOpen, EBADF), 0};
  int n = 0;
  if (::ioctl(fd_, TIOCOUTQ, &n) != 0) return {Errno(), 0};
  return {PortStatus::Ok(), static_cast<std::size_t>(n < 0 ? 0 : n)};
}

PortStatus SerialPort::ReadAvailable(std::string& out, std::size_t maxBytes) {
  if (fd_ < 0) return PortStatus::Failed(PortErrorKind::NotOpen, EBADF);
  char buffer[4096];
  while (maxBytes > 0) {
    const std::size_t want = maxBytes < sizeof buffer ? maxBytes : sizeof buffer;
    const ssize_t got = ::read(fd_, buffer, want);
    if (got > 0) {
      out.append(buffer, static_cast<std::size_t>(got));
      maxBytes -= static_cast<std::size_t>(got);
      continue;
    }
    if (got == 0) break;  // nothing more is waiting
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) break;
    return Errno();
  }
  return PortStatus::Ok();
}

PortStatus SerialPort::Write(std::string_view bytes, std::uint32_t limitMilliseconds) {
  if (fd_ < 0) return PortStatus::Failed(PortErrorKind::NotOpen, EBADF);
  const std::uint64_t deadline = NowMs() + limitMilliseconds;
  while (!bytes.empty()) {
    const ssize_t put = ::write(fd_, bytes.data(), bytes.size());
    if (put > 0) {
      bytes.remove_prefix(static_cast<std::size_t>(put));
      continue;
    }
    if (put < 0 && errno == EINTR) continue;
    if (put < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return Errno();
    // The driver's buffer is full (or flow control holds it): wait for room.
    const std::uint64_t now = NowMs();
    if (now >= deadline) return PortStatus::Failed(PortErrorKind::TimedOut, ETIMEDOUT);
    pollfd p{fd_, POLLOUT, 0};
    const int ready = ::poll(&p, 1, static_cast<int>(deadline - now));
    if (ready < 0 && errno != EINTR) return Errno();
    if (ready > 0 && (p.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0 &&
        (p.revents & POLLOUT) == 0) {
      return PortStatus::Failed(PortErrorKind::IoError, EIO);
    }
  }
  return PortStatus::Ok();
}

}  // namespace torvane
