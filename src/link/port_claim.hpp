#pragma once
// A claim on an interface unit's port for as long as a program works with the
// unit. The link layer opens and closes the port around its exchanges (the
// ZRA7's discovery closes it before the stream starts), so the lock it holds
// on an open port leaves gaps in which a second program could take the unit
// over. A claim is a lock on a file named after the port's real device path,
// held from before discovery until the program lets go; a second program
// asking for the same unit is refused at once.

#include <optional>
#include <string>

namespace torvane {

class PortClaim {
 public:
  PortClaim(PortClaim&& other) noexcept;
  PortClaim& operator=(PortClaim&& other) noexcept;
  PortClaim(const PortClaim&) = delete;
  PortClaim& operator=(const PortClaim&) = delete;
  ~PortClaim();

  // Claims the port at `path` (a symbolic link counts as the device it names).
  // Nothing when another program holds it; `problem` then says so ("port in
  // use") or why the claim could not be made.
  static std::optional<PortClaim> Claim(const std::string& path, std::string& problem);

  // The lock file's path for a port, in /run/lock when it can be written,
  // else in the temporary folder.
  static std::string LockPathFor(const std::string& path);

 private:
  explicit PortClaim(int fd) : fd_(fd) {}
  int fd_ = -1;
};

}  // namespace torvane
