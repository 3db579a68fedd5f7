#include "link/port_claim.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace torvane {

PortClaim::PortClaim(PortClaim&& other) noexcept : fd_(other.fd_) {
  other.fd_ = -1;
}

PortClaim& PortClaim::operator=(PortClaim&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = other.fd_;
    other.fd_ = -1;
  }
  return *this;
}

PortClaim::~PortClaim() {
  if (fd_ >= 0) ::close(fd_);  // closing lets go of the lock
}

std::string PortClaim::LockPathFor(const std::string& path) {
  char real[PATH_MAX];
  std::string device = ::realpath(path.c_str(), real) ? std::string(real) : path;
  for (char& c : device) {
    if (c == '/') c = '_';
  }
  const char* folder = ::access("/run/lock", W_OK) == 0 ? "/run/lock" : nullptr;
  std::string dir = folder ? folder : "";
  if (dir.empty()) {
    const char* tmp = std::getenv("TMPDIR");
    dir = tmp && *tmp ? tmp : "/tmp";
  }
  return dir + "/torvane-port" + device + ".lock";
}

std::optional<PortClaim> PortClaim::Claim(const std::string& path, std::string& problem) {
  const std::string lockPath = LockPathFor(path);
  const int fd = ::open(lockPath.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
  if (fd < 0) {
    problem = "cannot claim port " + path + ": " + std::strerror(errno);
    return std::nullopt;
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    ::close(fd);
    problem = error == EWOULDBLOCK ? "port in use: " + path + " is used by another program"
                                   : "cannot claim port " + path + ": " + std::strerror(error);
    return std::nullopt;
  }
  return PortClaim(fd);
}

}  // namespace torvane
