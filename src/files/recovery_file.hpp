#pragma once
// The recovery file of a collection: what a collection has gathered so far,
// kept on disk while it runs, so that a crash, a kill or a power cut loses
// at most the last second of a trial.
//
// Binary, little-endian, append-only:
//   header  "TVRECOVR" | u32 length | payload | u32 CRC-32 of the payload
//           payload: u16 format version, i32 frequency, i32 samples wanted,
//           u8 flags (RecordForce, and the calculation mode: from
//           displacement, from force, from acceleration), u8 channels
//           (displacement, force, acceleration), f32 mass, then the date and
//           the athlete's id, first and last name (u32 length + UTF-8 each)
//           and f32 body mass
//   blocks  "SMPL" | u32 first point | u32 points | for each point the
//           stored channels as f32 | u32 CRC-32 of everything after "SMPL"
// Blocks follow each other point for point. A block that is cut off (the
// last write of a killed program) or fails its CRC ends the read: what came
// before it is kept exactly, nothing after it is trusted.
//
// The samples are the channel values exactly as the collection stored them
// (calibrated, before any filter), bit for bit: calibration is not needed
// to reproduce them, and the recovered trial is processed as a collected
// one is.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "trial/athlete.hpp"

namespace torvane {

inline constexpr std::string_view kRecoveryFileMagic = "TVRECOVR";
inline constexpr std::uint16_t kRecoveryFileVersion = 1;
// The desktop program's recovery file, in the data folder.
inline constexpr std::string_view kRecoveryFileName = "QLXRecovery.qlxr";
// torvane-cli record keeps its recovery file beside the output, named so.
inline constexpr std::string_view kRecordingRecoverySuffix = ".recovering";

enum RecoveryChannel : std::uint8_t {
  kRecoverDisplacement = 1,
  kRecoverForce = 2,
  kRecoverAcceleration = 4,
};

// What a recovery file says about its trial, written once at the start.
struct RecoveryHeader {
  std::int32_t frequency = 0;
  std::int32_t samplesWanted = 0;
  bool recordForce = false;
  bool fromDisplacement = true;
  bool fromForce = false;
  bool fromAcceleration = false;
  std::uint8_t channels = kRecoverDisplacement;
  float weight = 0;
  std::string collectionDateTime;
  SquadMember athlete;
};

// The bytes of a header, and of one block of points [first, first + count)
// of the channels the header names.
std::string RecoveryHeaderBytes(const RecoveryHeader& header);
std::string RecoveryBlockBytes(std::uint8_t channels, std::uint32_t first,
                               const std::vector<float>& displacement,
                               const std::vector<float>& force,
                               const std::vector<float>& acceleration, std::uint32_t count);

std::uint32_t Crc32(std::string_view bytes);

enum class RecoveryReadStatus {
  Ok,               // a header and at least one whole block
  NotRecoveryFile,  // no header of this format, or one that fails its check
  NoWholeBlock,     // a header, but no block came through whole
  Unreadable,       // the file could not be read
};

struct RecoveredSamples {
  RecoveryReadStatus status = RecoveryReadStatus::NotRecoveryFile;
  std::string message;  // why, for a refusal, naming the file
  RecoveryHeader header;
  // Points 0 … points − 1 of each stored channel (empty when not stored).
  std::vector<float> displacement;
  std::vector<float> force;
  std::vector<float> acceleration;
  std::uint32_t points = 0;
  std::uint32_t blocks = 0;
  // Bytes after the last whole block: a torn or damaged block, dropped.
  std::size_t droppedBytes = 0;
  bool ok() const { return status == RecoveryReadStatus::Ok; }
};

// Reads the bytes of a recovery file; `path` only names it in messages.
RecoveredSamples ParseRecoveryFile(std::string_view bytes, std::string_view path);
RecoveredSamples ReadRecoveryFile(const std::string& path);

// Whether a running collection (of this or another program) holds the file.
bool RecoveryFileInUse(const std::string& path);

// An open recovery file that a collection appends to. A block is written at
// once (a killed program loses nothing written) and made durable against a
// power cut by a thread of the journal's own that only runs fdatasync on
// the file: a sync takes milliseconds, tens of them on a busy disk, and the
// collection's ticks must not wait for it. A failure stops the journal (the
// collection goes on) and is given back as a reason, once.
class RecoveryJournal {
 public:
  RecoveryJournal() = default;
  RecoveryJournal(const RecoveryJournal&) = delete;
  RecoveryJournal& operator=(const RecoveryJournal&) = delete;
  ~RecoveryJournal();

  // Creates (or empties) the file and writes the header. Empty text on
  // success, else the reason.
  std::string Begin(const std::string& path, const RecoveryHeader& header);
  // Appends points [PointsWritten(), points) of the channels. Empty text on
  // success (or with nothing to write).
  std::string Append(const std::vector<float>& displacement, const std::vector<float>& force,
                     const std::vector<float>& acceleration, std::uint32_t points);
  // Waits until everything written is on the disk; empty text, else why not.
  std::string Sync();
  // Closes the file and leaves it on disk.
  void Close();
  // Closes the file and deletes it.
  void Remove();

  bool IsOpen() const { return fd_ >= 0; }
  const std::string& Path() const { return path_; }
  std::uint32_t PointsWritten() const { return written_; }

 private:
  std::string WriteAll(std::string_view bytes);
  void SyncLoop();
  void StopSyncing();
  int fd_ = -1;
  std::thread syncer_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool syncWanted_ = false;
  bool stopSyncing_ = false;
  std::atomic<int> syncError_{0};
  std::string path_;
  std::uint8_t channels_ = 0;
  std::uint32_t written_ = 0;
};

}  // namespace torvane
