// The kernel's second termios interface, the only way to ask for a rate
// that has no B-constant. <asm/termbits.h> redefines what <termios.h>
// declares, so nothing else may be included beside it.
#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <cerrno>

namespace torvane {

int SetCustomBaudRate(int fd, unsigned int baud) {
  struct termios2 tio {};
  if (ioctl(fd, TCGETS2, &tio) != 0) return errno;
  tio.c_cflag &= ~static_cast<tcflag_t>(CBAUD);
  tio.c_cflag |= BOTHER;
  tio.c_ispeed = baud;
  tio.c_ospeed = baud;
  if (ioctl(fd, TCSETS2, &tio) != 0) return errno;
  struct termios2 check {};
  if (ioctl(fd, TCGETS2, &check) != 0) return errno;
  // A driver that cannot come within 3 % of the rate refuses it.
  const unsigned int got = check.c_ospeed;
  const unsigned int diff = got > baud ? got - baud : baud - got;
  if (got == 0 || diff * 100 > baud * 3) return EINVAL;
  return 0;
}

}  // namespace torvane
