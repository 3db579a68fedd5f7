#pragma once
// An in-memory port for tests: whatever the far side puts on the line is
// what the port reads; whatever the port writes is kept for the far side.
// The line can be told to be absent, to refuse an operation with a chosen
// failure, or to answer every write (a scripted unit).

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "link/byte_port.hpp"

namespace torvane {

struct LoopbackLine {
  // The far side.
  bool present = true;          // a device answers at the path
  PortStatus openFailure;       // when not ok, every Open fails with this
  PortStatus configureFailure;  // when not ok, every Configure fails with this
  PortStatus writeFailure;      // when not ok, every Write fails with this
  PortStatus purgeFailure;
  bool unplugged = false;           // the open port fails every operation with an I/O error
  std::uint32_t maxBaud = 4000000;  // higher rates are refused
  std::size_t outputPending = 0;    // what OutputPending reports

  std::string incoming;             // bytes the port has yet to read
  std::string written;              // every byte the port wrote, in order
  std::vector<std::string> writes;  // each write on its own
  std::vector<bool> dtrChanges;     // true = raised
  std::vector<SerialSettings> settingsApplied;
  std::vector<std::string> openedPaths;
  int opens = 0;
  int closes = 0;
  int purges = 0;
  bool isOpen = false;

  // Called with each write, after it has been recorded.
  std::function<void(const std::string& bytes)> onWrite;

  void Deliver(std::string_view bytes) { incoming.append(bytes); }
  // Takes what has been written since the last call.
  std::string TakeWritten();

 private:
  std::size_t taken_ = 0;
};

class LoopbackPort final : public BytePort {
 public:
  explicit LoopbackPort(std::shared_ptr<LoopbackLine> line) : line_(std::move(line)) {}
  ~LoopbackPort() override { Close(); }

  PortStatus Open(const std::string& path, const SerialSettings& settings) override;
  PortStatus Configure(const SerialSettings& settings) override;
  void Close() override;
  bool IsOpen() const override { return open_; }
  const std::string& Path() const override { return path_; }
  const SerialSettings& Settings() const override { return settings_; }

  PortStatus SetDtr(bool high) override;
  PortStatus Purge(bool input, bool output) override;
  PortCount BytesWaiting() override;
  PortCount OutputPending() override;
  PortStatus ReadAvailable(std::string& out, std::size_t maxBytes) override;
  PortStatus Write(std::string_view bytes, std::uint32_t limitMilliseconds) override;

  LoopbackLine& line() { return *line_; }

 private:
  PortStatus Usable() const;

  std::shared_ptr<LoopbackLine> line_;
  bool open_ = false;
  std::string path_;
  SerialSettings settings_;
};

}  // namespace torvane
