#pragma once
// Running the built programs from end-to-end tests: a program run to its
// end (killed when it overruns its time), and a program kept running in the
// background until the test stops it. Output goes to files in a folder of
// the test's own.

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "test_support.hpp"

extern char** environ;

namespace torvane::testing {

struct ProcessResult {
  int exitCode = -1;
  bool timedOut = false;
  std::string out;
  std::string err;
};

inline pid_t Spawn(const std::vector<std::string>& argv, const std::string& outFile,
                   const std::string& errFile) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

// Waits for the process at most `limitMs`; -1 when it is still running.
inline int WaitForExit(pid_t pid, int limitMs) {
  for (int waited = 0;; waited += 5) {
    int status = 0;
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (done < 0 || waited >= limitMs) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

inline ProcessResult RunProgram(const std::vector<std::string>& argv, const TempDir& dir,
                                int limitMs = 10000) {
  static int runs = 0;
  const std::string tag = std::to_string(++runs);
  const std::string outFile = dir.File("run" + tag + ".out");
  const std::string errFile = dir.File("run" + tag + ".err");
  ProcessResult result;
  const pid_t pid = Spawn(argv, outFile, errFile);
  if (pid < 0) return result;
  result.exitCode = WaitForExit(pid, limitMs);
  if (result.exitCode < 0) {
    result.timedOut = true;
    kill(pid, SIGKILL);
    WaitForExit(pid, 2000);
  }
  result.out = ReadText(outFile);
  result.err = ReadText(errFile);
  return result;
}

// A program left running (the simulator) until Stop or the end of the test.
class BackgroundProgram {
 public:
  BackgroundProgram(const std::vector<std::string>& argv, const TempDir& dir,
                    const std::string& name)
      : outFile_(dir.File(name + ".out")), errFile_(dir.File(name + ".err")) {
    pid_ = Spawn(argv, outFile_, errFile_);
  }
  ~BackgroundProgram() { Stop(); }
  BackgroundProgram(const BackgroundProgram&) = delete;
  BackgroundProgram& operator=(const BackgroundProgram&) = delete;

  bool running() const { return pid_ > 0; }
  // Waits until `path` exists, at most `limitMs`.
  static bool WaitForPath(const std::string& path, int limitMs = 5000) {
    for (int waited = 0; waited < limitMs; waited += 10) {
      struct stat st {};
      if (lstat(path.c_str(), &st) == 0) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }
  // Asks the program to end, and makes it end; its exit status.
  int Stop() {
    if (pid_ <= 0) return exitCode_;
    kill(pid_, SIGTERM);
    exitCode_ = WaitForExit(pid_, 3000);
    if (exitCode_ < 0) {
      kill(pid_, SIGKILL);
      WaitForExit(pid_, 2000);
    }
    pid_ = -1;
    return exitCode_;
  }
  // Sends a signal (SIGINT: what Ctrl-C sends).
  void Signal(int signal) {
    if (pid_ > 0) kill(pid_, signal);
  }
  // Waits for the program to end by itself, at most `limitMs`.
  int WaitForEnd(int limitMs) {
    if (pid_ <= 0) return exitCode_;
    exitCode_ = WaitForExit(pid_, limitMs);
    if (exitCode_ >= 0) pid_ = -1;
    return exitCode_;
  }
  std::string out() const { return ReadText(outFile_); }
  std::string err() const { return ReadText(errFile_); }

 private:
  std::string outFile_;
  std::string errFile_;
  pid_t pid_ = -1;
  int exitCode_ = -1;
};

}  // namespace torvane::testing
