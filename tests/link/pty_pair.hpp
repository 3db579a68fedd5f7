#pragma once
// A pseudo-terminal for tests: the test holds the master side and the port
// under test opens the slave path.

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

namespace torvane::testing {

class PtyPair {
 public:
  PtyPair() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0) {
      if (const char* name = ::ptsname(master_)) slave_ = name;
    }
  }
  ~PtyPair() { CloseMaster(); }
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  bool ok() const { return master_ >= 0 && !slave_.empty(); }
  const std::string& slavePath() const { return slave_; }
  void CloseMaster() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
  }

  void Send(const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
      if (n > 0)
        done += static_cast<std::size_t>(n);
      else
        WaitFor(POLLOUT, 100);
    }
  }
  // What the slave side sent, gathered until `count` bytes or `limitMs` passed.
  std::string Receive(std::size_t count, int limitMs = 2000) {
    std::string out;
    for (int waited = 0; out.size() < count && waited < limitMs; waited += 10) {
      char buffer[512];
      const ssize_t n = ::read(master_, buffer, sizeof buffer);
      if (n > 0) {
        out.append(buffer, static_cast<std::size_t>(n));
        waited = 0;
        continue;
      }
      WaitFor(POLLIN, 10);
    }
    return out;
  }

 private:
  void WaitFor(short events, int ms) {
    pollfd p{master_, events, 0};
    ::poll(&p, 1, ms);
  }
  int master_ = -1;
  std::string slave_;
};

}  // namespace torvane::testing
