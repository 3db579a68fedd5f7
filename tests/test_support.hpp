#pragma once
// Shared fixtures: a session on simulated time with scripted dialogs, and a
// temporary folder removed at the end of the test.

#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <tuple>

#include "common/fake_event_loop.hpp"
#include "common/text_file.hpp"
#include "common/user_dialogs.hpp"
#include "shell/session.hpp"

namespace torvane::testing {

class TempDir {
 public:
  TempDir() {
    std::string templ = (std::filesystem::temp_directory_path() / "torvane-test-XXXXXX").string();
    path_ = ::mkdtemp(templ.data()) ? templ : std::string();
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

struct TestSession {
  FakeEventLoop loop;
  ScriptedDialogs dialogs;
  Session session{PlatformServices{loop, loop, loop, dialogs}};
};

// Bytes from their values, e.g. Bytes({207, 0x21}).
inline std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out.push_back(static_cast<char>(v));
  return out;
}

// A message the user was shown, as (icon, title, text), to compare in one go.
using Message = std::tuple<MessageIcon, std::string, std::string>;
inline Message Msg(const ScriptedDialogs::Shown& shown) {
  return {shown.icon, shown.title, shown.text};
}

inline std::string ReadText(const std::string& path) {
  return ReadWholeFile(path).bytes;
}

inline void WriteText(const std::string& path, const std::string& text) {
  WriteFileReplacing(path, text);
}

// While it lives, no file of this process grows beyond `bytes`: a write past
// that fails (EFBIG), as on a full disk, instead of raising SIGXFSZ.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &old_);
    oldSignal_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, oldSignal_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit old_{};
  void (*oldSignal_)(int) = SIG_DFL;
};

// Sets an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) {
      had_ = true;
      old_ = old;
    }
    ::setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (had_) {
      ::setenv(name_, old_.c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }

 private:
  const char* name_;
  bool had_ = false;
  std::string old_;
};

}  // namespace torvane::testing
