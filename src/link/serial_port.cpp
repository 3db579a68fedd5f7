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
  switch (baud) {
    case 50: return B50;
    case 75: return B75;
    case 110: return B110;
    case 134: return B134;
    case 150: return B150;
    case 200: return B200;
    case 300: return B300;
    case 600: return B600;
    case 1200: return B1200;
    case 1800: return B1800;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
    case 460800: return B460800;
    case 500000: return B500000;
    case 576000: return B576000;
    case 921600: return B921600;
    case 1000000: return B1000000;
    case 1152000: return B1152000;
    case 1500000: return B1500000;
    case 2000000: return B2000000;
    case 2500000: return B2500000;
    case 3000000: return B3000000;
    case 3500000: return B3500000;
    case 4000000: return B4000000;
    default: return B0;
  }
}

PortStatus Errno() { return PortStatus::FromErrno(errno); }

std::uint64_t NowMs() {
  using namespace std::chrono;
  return static_cast<std::uint64_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace

SerialPort::~SerialPort() { Close(); }

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
    if (::cfgetospeed(&check) != speed) return PortStatus::Failed(PortErrorKind::BadSettings, EINVAL);
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
