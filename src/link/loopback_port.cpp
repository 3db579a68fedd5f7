#include "link/loopback_port.hpp"

#include <cerrno>

namespace torvane {

std::string LoopbackLine::TakeWritten() {
  std::string out = written.substr(taken_);
  taken_ = written.size();
  return out;
}

PortStatus LoopbackPort::Usable() const {
  if (!open_) return PortStatus::Failed(PortErrorKind::NotOpen, EBADF);
  if (line_->unplugged) return PortStatus::Failed(PortErrorKind::IoError, EIO);
  return PortStatus::Ok();
}

PortStatus LoopbackPort::Open(const std::string& path, const SerialSettings& settings) {
  Close();
  path_ = path;
  if (!line_->present) return PortStatus::Failed(PortErrorKind::NoDevice, ENOENT);
  if (!line_->openFailure.ok()) return line_->openFailure;
  open_ = true;
  line_->isOpen = true;
  ++line_->opens;
  line_->openedPaths.push_back(path);
  const PortStatus status = Configure(settings);
  if (!status.ok()) Close();
  return status;
}

PortStatus LoopbackPort::Configure(const SerialSettings& settings) {
  if (const PortStatus s = Usable(); !s.ok()) return s;
  if (!line_->configureFailure.ok()) return line_->configureFailure;
  if (settings.baud == 0 || settings.baud > line_->maxBaud) {
    return PortStatus::Failed(PortErrorKind::BadSettings, EINVAL);
  }
  settings_ = settings;
  line_->settingsApplied.push_back(settings);
  return PortStatus::Ok();
}

void LoopbackPort::Close() {
  if (!open_) return;
  open_ = false;
  line_->isOpen = false;
  ++line_->closes;
}

PortStatus LoopbackPort::SetDtr(bool high) {
  if (const PortStatus s = Usable(); !s.ok()) return s;
  line_->dtrChanges.push_back(high);
  return PortStatus::Ok();
}

PortStatus LoopbackPort::Purge(bool input, bool) {
  if (const PortStatus s = Usable(); !s.ok()) return s;
  if (!line_->purgeFailure.ok()) return line_->purgeFailure;
  ++line_->purges;
  if (input) line_->incoming.clear();
  return PortStatus::Ok();
}

PortCount LoopbackPort::BytesWaiting() {
  if (const PortStatus s = Usable(); !s.ok()) return {s, 0};
  return {PortStatus::Ok(), line_->incoming.size()};
}

PortCount LoopbackPort::OutputPending() {
  if (const PortStatus s = Usable(); !s.ok()) return {s, 0};
  return {PortStatus::Ok(), line_->outputPending};
}

PortStatus LoopbackPort::ReadAvailable(std::string& out, std::size_t maxBytes) {
  if (const PortStatus s = Usable(); !s.ok()) return s;
  const std::size_t n = maxBytes < line_->incoming.size() ? maxBytes : line_->incoming.size();
  out.append(line_->incoming, 0, n);
  line_->incoming.erase(0, n);
  return PortStatus::Ok();
}

PortStatus LoopbackPort::Write(std::string_view bytes, std::uint32_t) {
  if (const PortStatus s = Usable(); !s.ok()) return s;
  if (!line_->writeFailure.ok()) return line_->writeFailure;
  line_->written.append(bytes);
  line_->writes.emplace_back(bytes);
  if (line_->onWrite) {
    auto onWrite = line_->onWrite;  // the handler may replace itself
    onWrite(std::string(bytes));
  }
  return PortStatus::Ok();
}

}  // namespace torvane
