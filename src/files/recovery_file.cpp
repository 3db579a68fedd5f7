// The recovery file: its bytes, its reader, and the journal a collection
// appends to.

#include "files/recovery_file.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>

#include "common/paths.hpp"
#include "common/text_file.hpp"
#include "trial/trial_data_set.hpp"

namespace torvane {

namespace {

constexpr std::string_view kBlockTag = "SMPL";
constexpr std::uint8_t kFlagRecordForce = 1;
constexpr std::uint8_t kFlagFromDisplacement = 2;
constexpr std::uint8_t kFlagFromForce = 4;
constexpr std::uint8_t kFlagFromAcceleration = 8;
// A header holds a few names: anything longer is not one of ours.
constexpr std::uint32_t kMaximumHeaderBytes = 1 << 16;

void PutU32(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
void PutFloat(std::string& out, float f) {
  std::uint32_t bits = 0;
  std::memcpy(&bits, &f, sizeof bits);
  PutU32(out, bits);
}
void PutText(std::string& out, std::string_view text) {
  PutU32(out, static_cast<std::uint32_t>(text.size()));
  out += text;
}

// Reads little-endian values from the front of a text; `good` turns false
// (and stays so) when the text runs out.
struct Cursor {
  std::string_view rest;
  bool good = true;
  std::uint32_t U32() {
    if (rest.size() < 4) return Fail();
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(rest[i]);
    rest.remove_prefix(4);
    return v;
  }
  std::uint16_t U16() {
    if (rest.size() < 2) return Fail();
    const auto v = static_cast<std::uint16_t>(static_cast<unsigned char>(rest[0]) |
                                              (static_cast<unsigned char>(rest[1]) << 8));
    rest.remove_prefix(2);
    return v;
  }
  std::uint8_t U8() {
    if (rest.empty()) return Fail();
    const auto v = static_cast<std::uint8_t>(rest[0]);
    rest.remove_prefix(1);
    return v;
  }
  float Float() {
    const std::uint32_t bits = U32();
    float f = 0;
    std::memcpy(&f, &bits, sizeof f);
    return f;
  }
  std::string Text() {
    const std::uint32_t n = U32();
    if (!good || rest.size() < n) return Fail(), std::string();
    std::string text(rest.substr(0, n));
    rest.remove_prefix(n);
    return text;
  }
  std::uint32_t Fail() {
    good = false;
    rest = {};
    return 0;
  }
};

int ChannelCount(std::uint8_t channels) {
  return ((channels & kRecoverDisplacement) != 0) + ((channels & kRecoverForce) != 0) +
         ((channels & kRecoverAcceleration) != 0);
}

RecoveredSamples Refused(RecoveryReadStatus status, std::string message) {
  RecoveredSamples r;
  r.status = status;
  r.message = std::move(message);
  return r;
}

}  // namespace

std::uint32_t Crc32(std::string_view bytes) {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  std::uint32_t crc = 0xFFFFFFFFu;
  for (const char ch : bytes)
    crc = table[(crc ^ static_cast<unsigned char>(ch)) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

std::string RecoveryHeaderBytes(const RecoveryHeader& h) {
  std::string payload;
  payload.push_back(static_cast<char>(kRecoveryFileVersion & 0xFF));
  payload.push_back(static_cast<char>(kRecoveryFileVersion >> 8));
  PutU32(payload, static_cast<std::uint32_t>(h.frequency));
  PutU32(payload, static_cast<std::uint32_t>(h.samplesWanted));
  payload.push_back(static_cast<char>(
      (h.recordForce ? kFlagRecordForce : 0) | (h.fromDisplacement ? kFlagFromDisplacement : 0) |
      (h.fromForce ? kFlagFromForce : 0) | (h.fromAcceleration ? kFlagFromAcceleration : 0)));
  payload.push_back(static_cast<char>(h.channels));
  PutFloat(payload, h.weight);
  PutText(payload, h.collectionDateTime);
  PutText(payload, h.athlete.Id);
  PutText(payload, h.athlete.FirstName);
  PutText(payload, h.athlete.LastName);
  PutFloat(payload, h.athlete.BodyMass);
  std::string out(kRecoveryFileMagic);
  PutU32(out, static_cast<std::uint32_t>(payload.size()));
  out += payload;
  PutU32(out, Crc32(payload));
  return out;
}

std::string RecoveryBlockBytes(std::uint8_t channels, std::uint32_t first,
                               const std::vector<float>& displacement,
                               const std::vector<float>& force,
                               const std::vector<float>& acceleration, std::uint32_t count) {
  std::string body;
  body.reserve(8 + static_cast<std::size_t>(count) * 4 * ChannelCount(channels));
  PutU32(body, first);
  PutU32(body, count);
  const auto put = [&](const std::vector<float>& channel) {
    for (std::uint32_t i = first; i < first + count; ++i) {
      PutFloat(body, i < channel.size() ? channel[i] : 0.0f);
    }
  };
  if (channels & kRecoverDisplacement) put(displacement);
  if (channels & kRecoverForce) put(force);
  if (channels & kRecoverAcceleration) put(acceleration);
  std::string out(kBlockTag);
  out += body;
  PutU32(out, Crc32(body));
  return out;
}

RecoveredSamples ParseRecoveryFile(std::string_view bytes, std::string_view path) {
  const std::string name(path);
  const auto notOurs = [&](const std::string& why) {
    return Refused(RecoveryReadStatus::NotRecoveryFile,
                   "\"" + name + "\" is not a recovery file: " + why + ".");
  };
  if (bytes.substr(0, kRecoveryFileMagic.size()) != kRecoveryFileMagic) {
    return notOurs("it does not begin as one");
  }
  Cursor in{bytes.substr(kRecoveryFileMagic.size())};
  const std::uint32_t length = in.U32();
  if (!in.good || length > kMaximumHeaderBytes || in.rest.size() < std::size_t{length} + 4) {
    return notOurs("its header is cut off");
  }
  const std::string_view payload = in.rest.substr(0, length);
  in.rest.remove_prefix(length);
  if (in.U32() != Crc32(payload)) return notOurs("its header fails its check");

  RecoveredSamples r;
  Cursor h{payload};
  if (h.U16() != kRecoveryFileVersion) return notOurs("it is of another version");
  RecoveryHeader& header = r.header;
  header.frequency = static_cast<std::int32_t>(h.U32());
  header.samplesWanted = static_cast<std::int32_t>(h.U32());
  const std::uint8_t flags = h.U8();
  header.recordForce = flags & kFlagRecordForce;
  header.fromDisplacement = flags & kFlagFromDisplacement;
  header.fromForce = flags & kFlagFromForce;
  header.fromAcceleration = flags & kFlagFromAcceleration;
  header.channels = h.U8();
  header.weight = h.Float();
  header.collectionDateTime = h.Text();
  header.athlete.Id = h.Text();
  header.athlete.FirstName = h.Text();
  header.athlete.LastName = h.Text();
  header.athlete.BodyMass = h.Float();
  const int channelCount = ChannelCount(header.channels);
  if (!h.good || channelCount == 0 || header.frequency <= 0) {
    return notOurs("its header does not describe a trial");
  }

  // Blocks, one after the other, until the bytes end or one is not whole.
  while (!in.rest.empty()) {
    const std::string_view blockStart = in.rest;
    Cursor b{in.rest};
    if (b.rest.substr(0, kBlockTag.size()) != kBlockTag) break;
    b.rest.remove_prefix(kBlockTag.size());
    const std::string_view body = b.rest;
    const std::uint32_t first = b.U32();
    const std::uint32_t count = b.U32();
    const std::uint64_t valueBytes = std::uint64_t{count} * 4 * channelCount;
    if (!b.good || first != r.points || valueBytes + 4 > b.rest.size() ||
        std::uint64_t{first} + count > static_cast<std::uint64_t>(kMaximumSamples) + 1) {
      break;
    }
    const std::size_t bodyLength = 8 + static_cast<std::size_t>(valueBytes);
    Cursor check{body.substr(bodyLength)};
    if (check.U32() != Crc32(body.substr(0, bodyLength))) break;
    const auto take = [&](std::uint8_t channel, std::vector<float>& out) {
      if (!(header.channels & channel)) return;
      for (std::uint32_t i = 0; i < count; ++i) out.push_back(b.Float());
    };
    take(kRecoverDisplacement, r.displacement);
    take(kRecoverForce, r.force);
    take(kRecoverAcceleration, r.acceleration);
    r.points += count;
    r.blocks += 1;
    in.rest = blockStart.substr(kBlockTag.size() + bodyLength + 4);
  }
  r.droppedBytes = in.rest.size();
  if (r.points == 0) {
    // The header is kept: it still says what the collection was.
    r.status = RecoveryReadStatus::NoWholeBlock;
    r.message = "\"" + name + "\" holds no samples that came through whole.";
    return r;
  }
  r.status = RecoveryReadStatus::Ok;
  return r;
}

RecoveredSamples ReadRecoveryFile(const std::string& path) {
  const FileReadResult file = ReadWholeFile(path);
  if (!file.ok) {
    return Refused(RecoveryReadStatus::Unreadable,
                   "\"" + path + "\" could not be read: " + file.error + ".");
  }
  return ParseRecoveryFile(file.bytes, path);
}

bool RecoveryFileInUse(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  const bool inUse = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  ::close(fd);
  return inUse;
}

RecoveryJournal::~RecoveryJournal() {
  Close();
}

std::string RecoveryJournal::Begin(const std::string& path, const RecoveryHeader& header) {
  Close();
  path_.clear();
  // Not blocking on a FIFO, and nothing but a regular file is written.
  fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0644);
  if (fd_ < 0) return std::strerror(errno);
  struct stat st {};
  if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
    Close();
    return "it is not a regular file";
  }
  // Held while the collection runs: another program's start leaves it be.
  if (::flock(fd_, LOCK_EX | LOCK_NB) != 0 || ::ftruncate(fd_, 0) != 0) {
    const std::string reason =
        errno == EWOULDBLOCK ? "another collection keeps it" : std::strerror(errno);
    Close();
    return reason;
  }
  path_ = path;
  channels_ = header.channels;
  written_ = 0;
  std::string failure = WriteAll(RecoveryHeaderBytes(header));
  if (failure.empty()) failure = Sync();
  // The new file's name must survive a power cut too: its folder is synced.
  const std::string folder = FolderOf(path);
  const int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  if (!failure.empty()) {
    Close();
    return failure;
  }
  stopSyncing_ = false;
  syncer_ = std::thread([this] { SyncLoop(); });
  return {};
}

std::string RecoveryJournal::Append(const std::vector<float>& displacement,
                                    const std::vector<float>& force,
                                    const std::vector<float>& acceleration, std::uint32_t points) {
  if (fd_ < 0 || points <= written_) return {};
  if (const int error = syncError_.load(); error != 0) {
    Close();
    return std::strerror(error);
  }
  const std::string failure = WriteAll(RecoveryBlockBytes(channels_, written_, displacement, force,
                                                          acceleration, points - written_));
  if (!failure.empty()) return failure;
  written_ = points;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    syncWanted_ = true;
  }
  wake_.notify_one();
  return {};
}

std::string RecoveryJournal::Sync() {
  if (fd_ < 0) return "the file is not open";
  return ::fdatasync(fd_) == 0 ? std::string() : std::strerror(errno);
}

void RecoveryJournal::SyncLoop() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return syncWanted_ || stopSyncing_; });
    if (!syncWanted_) return;
    syncWanted_ = false;
    lock.unlock();
    if (::fdatasync(fd_) != 0) syncError_.store(errno);
    lock.lock();
  }
}

void RecoveryJournal::StopSyncing() {
  if (!syncer_.joinable()) return;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    stopSyncing_ = true;
  }
  wake_.notify_one();
  syncer_.join();
}

std::string RecoveryJournal::WriteAll(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const std::string reason = n < 0 ? std::strerror(errno) : "nothing was written";
      Close();
      return reason;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return {};
}

void RecoveryJournal::Close() {
  // The last sync asked for finishes first: the file must not be closed
  // under it.
  StopSyncing();
  syncError_.store(0);
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

void RecoveryJournal::Remove() {
  Close();
  if (!path_.empty()) ::unlink(path_.c_str());
  path_.clear();
}

}  // namespace torvane
