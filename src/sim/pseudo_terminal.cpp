#include "sim/pseudo_terminal.hpp"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace torvane::sim {

std::string PseudoTerminal::Open(const std::string& linkPath) {
  Close();
  if (linkPath.empty()) return "no link path given";
  struct stat st {};
  if (::lstat(linkPath.c_str(), &st) == 0 && !S_ISLNK(st.st_mode)) {
    return linkPath + " exists and is not a link; it is left alone";
  }
  master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (master_ < 0) return std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
  if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
    const std::string why = std::strerror(errno);
    Close();
    return "cannot unlock the pseudo-terminal: " + why;
  }
  char name[128];
  if (::ptsname_r(master_, name, sizeof name) != 0) {
    const std::string why = std::strerror(errno);
    Close();
    return "cannot name the pseudo-terminal: " + why;
  }
  slavePath_ = name;
  slave_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (slave_ < 0) {
    const std::string why = std::strerror(errno);
    Close();
    return "cannot open " + slavePath_ + ": " + why;
  }
  // Raw from the start, so nothing the unit sends is changed on the way.
  termios tio{};
  if (::tcgetattr(slave_, &tio) == 0) {
    ::cfmakeraw(&tio);
    ::tcsetattr(slave_, TCSANOW, &tio);
  }
  ::unlink(linkPath.c_str());
  if (::symlink(name, linkPath.c_str()) != 0) {
    const std::string why = std::strerror(errno);
    Close();
    return "cannot link " + linkPath + ": " + why;
  }
  linkPath_ = linkPath;
  return {};
}

void PseudoTerminal::Close() {
  if (!linkPath_.empty()) {
    // Only the link this terminal made is removed.
    char target[256];
    const ssize_t n = ::readlink(linkPath_.c_str(), target, sizeof target - 1);
    if (n > 0 && std::string(target, static_cast<std::size_t>(n)) == slavePath_) {
      ::unlink(linkPath_.c_str());
    }
    linkPath_.clear();
  }
  if (slave_ >= 0) ::close(slave_);
  if (master_ >= 0) ::close(master_);
  slave_ = master_ = -1;
}

}  // namespace torvane::sim
