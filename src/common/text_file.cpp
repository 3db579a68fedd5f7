#include "common/text_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>

namespace torvane {

namespace {

// Unicode code points of Windows-1252 bytes 0x80..0x9F (0 where undefined:
// those bytes map to the C1 control of the same number).
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

}  // namespace

std::string Cp1252ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (unsigned char c : bytes) {
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0xA0) {
      const char16_t cp = kHighControls[c - 0x80];
      AppendUtf8(out, cp ? cp : c);
    } else {
      AppendUtf8(out, c);
    }
  }
  return out;
}

std::string Utf8ToCp1252(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    char32_t cp = 0;
    int extra = 0;
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
      ++i;
      continue;
    } else if ((c & 0xE0) == 0xC0) {
      cp = c & 0x1F;
      extra = 1;
    } else if ((c & 0xF0) == 0xE0) {
      cp = c & 0x0F;
      extra = 2;
    } else if ((c & 0xF8) == 0xF0) {
      cp = c & 0x07;
      extra = 3;
    } else {
      out.push_back('?');
      ++i;
      continue;
    }
    if (i + static_cast<std::size_t>(extra) >= text.size()) {  // cut short
      out.push_back('?');
      break;
    }
    bool valid = true;
    for (int k = 1; k <= extra; ++k) {
      const unsigned char cc = static_cast<unsigned char>(text[i + k]);
      if ((cc & 0xC0) != 0x80) {
        valid = false;
        break;
      }
      cp = (cp << 6) | (cc & 0x3F);
    }
    if (!valid) {
      out.push_back('?');
      ++i;
      continue;
    }
    i += static_cast<std::size_t>(extra) + 1;
    if (cp >= 0xA0 && cp <= 0xFF) {
      out.push_back(static_cast<char>(cp));
      continue;
    }
    char mapped = '?';
    for (std::size_t k = 0; k < kHighControls.size(); ++k) {
      if ((kHighControls[k] != 0 && kHighControls[k] == cp) ||
          (kHighControls[k] == 0 && cp == 0x80 + k)) {
        mapped = static_cast<char>(0x80 + k);
        break;
      }
    }
    out.push_back(mapped);
  }
  return out;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  const std::size_t n = text.size();
  for (std::size_t i = 0; i < n; ++i) {
    const char c = text[i];
    if (c == '\n' || c == '\r') {
      lines.push_back(text.substr(start, i - start));
      if (c == '\r' && i + 1 < n && text[i + 1] == '\n') ++i;
      start = i + 1;
    }
  }
  if (start < n) lines.push_back(text.substr(start));
  return lines;
}

bool ReadWholeFileInto(const std::string& path, std::string& bytes, std::string& error,
                       std::size_t limitBytes) {
  const auto fail = [&](std::string reason, int fd) {
    error = std::move(reason);
    if (fd >= 0) ::close(fd);
    bytes.clear();
    return false;
  };
  // Opened without blocking, so that a FIFO with no writer cannot hold the
  // program; what it is, is then asked of the open file itself.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return fail(std::strerror(errno), -1);
  struct stat st {};
  if (::fstat(fd, &st) != 0) return fail(std::strerror(errno), fd);
  if (S_ISDIR(st.st_mode)) return fail("it is a folder", fd);
  if (!S_ISREG(st.st_mode)) return fail("it is not a regular file", fd);
  const auto size = static_cast<std::size_t>(st.st_size);
  if (size > limitBytes) return fail("the file is too large", fd);
  // One byte more than the file, so that the end is seen without growing.
  // Resizing from the previous file's length fills only what is added.
  bytes.resize(std::min(limitBytes, size) + 1);
  std::size_t got = 0;
  for (;;) {
    if (got == bytes.size()) {
      // The file has grown since fstat.
      if (got > limitBytes) return fail("the file is too large", fd);
      bytes.resize(std::min(limitBytes + 1, bytes.size() * 2 + 4096));
    }
    const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
    if (n < 0) {
      if (errno == EINTR) continue;
      return fail(std::strerror(errno), fd);
    }
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  ::close(fd);
  if (got > limitBytes) return fail("the file is too large", -1);
  bytes.resize(got);
  return true;
}

FileReadResult ReadWholeFile(const std::string& path, std::size_t limitBytes) {
  FileReadResult r;
  r.ok = ReadWholeFileInto(path, r.bytes, r.error, limitBytes);
  return r;
}

namespace {

std::string FolderPart(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NamePart(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Why an existing `path` cannot be replaced: anything but a regular file
// (a device, a FIFO, a folder) is left alone. Empty when it can be.
std::string ReplaceableReason(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode)) return {};
  return S_ISDIR(st.st_mode) ? "it is a folder" : "it is not a regular file";
}

std::string RandomLetters(std::size_t count) {
  static constexpr char kLetters[] =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  thread_local std::mt19937_64 random{
      std::random_device{}() ^ (static_cast<std::uint64_t>(::getpid()) << 32) ^
      static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count())};
  std::string letters(count, 'a');
  for (char& c : letters) c = kLetters[random() % (sizeof kLetters - 1)];
  return letters;
}

}  // namespace

std::string ReplacementTarget(const std::string& path) {
  std::string target = path;
  // A chain of links is followed to its end; a loop ends at the limit and
  // is then refused by the write itself.
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) break;
    std::string link(static_cast<std::size_t>(std::max<off_t>(st.st_size, 0)) + 256, '\0');
    const ssize_t n = ::readlink(target.c_str(), link.data(), link.size());
    if (n < 0 || static_cast<std::size_t>(n) >= link.size()) break;
    link.resize(static_cast<std::size_t>(n));
    target = link.front() == '/' ? link : FolderPart(target) + "/" + link;
  }
  return target;
}

std::string CreateTemporaryBeside(const std::string& target, std::string_view suffix,
                                  TemporaryFile& temp) {
  // ".NAME.tmp~XXXXXX" in the target's folder: a rename stays within one
  // file system, and writers of the same output never share a name. A long
  // name is shortened to leave room for the rest.
  constexpr std::size_t kNameMax = 255;
  const std::size_t extra = 1 + 5 + 6 + suffix.size();
  std::string name = NamePart(target);
  if (name.size() + extra > kNameMax) name.resize(kNameMax > extra ? kNameMax - extra : 0);
  const std::string stem = FolderPart(target) + "/." + name + ".tmp~";
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string path = stem + RandomLetters(6) + std::string(suffix);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd >= 0) {
      temp.fd = fd;
      temp.path = std::move(path);
      return {};
    }
    if (errno != EEXIST) return std::strerror(errno);
  }
  return std::strerror(EEXIST);
}

std::string MoveTemporaryIntoPlace(const std::string& temp, const std::string& target) {
  const auto fail = [&](std::string reason) {
    ::unlink(temp.c_str());
    return reason;
  };
  struct stat st {};
  if (::stat(target.c_str(), &st) == 0) {
    if (!S_ISREG(st.st_mode)) return fail(ReplaceableReason(target));
    // The replacement keeps the permission bits (and, where it may, the
    // owner) of the file it replaces.
    if (::chmod(temp.c_str(), st.st_mode & 07777) != 0) return fail(std::strerror(errno));
    // Best effort: a file that cannot be given back its owner is still the
    // whole new content.
    if (::geteuid() == 0 && ::chown(temp.c_str(), st.st_uid, st.st_gid) != 0) {
    }
  }
  if (::rename(temp.c_str(), target.c_str()) != 0) return fail(std::strerror(errno));
  return {};
}

std::string WriteFileReplacing(const std::string& path, std::string_view bytes) {
  const std::string target = ReplacementTarget(path);
  if (std::string reason = ReplaceableReason(target); !reason.empty()) return reason;
  TemporaryFile temp;
  if (std::string reason = CreateTemporaryBeside(target, "", temp); !reason.empty()) return reason;
  const auto fail = [&](std::string reason) {
    if (temp.fd >= 0) ::close(temp.fd);
    ::unlink(temp.path.c_str());
    return reason;
  };
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(temp.fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return fail(std::strerror(errno));
    }
    done += static_cast<std::size_t>(n);
  }
  const int fd = temp.fd;
  temp.fd = -1;
  if (::close(fd) != 0) return fail(std::strerror(errno));
  return MoveTemporaryIntoPlace(temp.path, target);
}

std::string CheckFileReplaceable(const std::string& path) {
  const std::string target = ReplacementTarget(path);
  if (std::string reason = ReplaceableReason(target); !reason.empty()) return reason;
  TemporaryFile temp;
  if (std::string reason = CreateTemporaryBeside(target, "", temp); !reason.empty()) return reason;
  ::close(temp.fd);
  ::unlink(temp.path.c_str());
  return {};
}

std::string OneLineText(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(text.size());
  const auto hexByte = [&](const char* prefix, unsigned value) {
    out += prefix;
    out.push_back(kHex[(value >> 4) & 0xF]);
    out.push_back(kHex[value & 0xF]);
  };
  std::size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      if (c == '\n') {
        out += "\\n";
      } else if (c == '\r') {
        out += "\\r";
      } else if (c == '\t') {
        out += "\\t";
      } else if (c < 0x20 || c == 0x7F) {
        hexByte("\\x", c);
      } else {
        out.push_back(static_cast<char>(c));
      }
      ++i;
      continue;
    }
    const std::size_t length = Utf8SequenceLength(text.substr(i));
    if (length == 0) {
      hexByte("\\x", c);  // not UTF-8: the byte itself
      ++i;
      continue;
    }
    // C1 controls (U+0080 to U+009F) steer terminals as well.
    if (length == 2 && c == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0) {
      hexByte("\\u00", static_cast<unsigned char>(text[i + 1]));
    } else {
      out.append(text.substr(i, length));
    }
    i += length;
  }
  return out;
}

std::size_t Utf8SequenceLength(std::string_view text) {
  if (text.empty()) return 0;
  const auto c = static_cast<unsigned char>(text[0]);
  if (c < 0x80) return 1;
  std::size_t length = 0;
  char32_t cp = 0;
  if (c >= 0xC2 && c <= 0xDF) {
    length = 2;
    cp = c & 0x1F;
  } else if ((c & 0xF0) == 0xE0) {
    length = 3;
    cp = c & 0x0F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    length = 4;
    cp = c & 0x07;
  } else {
    return 0;
  }
  if (text.size() < length) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    const auto cc = static_cast<unsigned char>(text[k]);
    if ((cc & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (cc & 0x3F);
  }
  // No overlong forms, no surrogates, nothing beyond U+10FFFF.
  if ((length == 3 && cp < 0x800) || (length == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
      (cp >= 0xD800 && cp <= 0xDFFF)) {
    return 0;
  }
  return length;
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool FolderExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool MakeFolders(const std::string& path) {
  std::error_code ec;
  std::filesystem::create_directories(path, ec);
  return FolderExists(path);
}

}  // namespace torvane
