#pragma once
// Running the built programs from end-to-end tests: a program run to its
// end (killed when it overruns its time), and a program kept running in the
// background until the test stops it. Output goes to files in a folder of
// the test's own.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <memory>
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

// A program started in the background, its output going to `dir/name.out`
// and `dir/name.err`; ended (and made to end) at the latest by the destructor.
class BackgroundProgram {
 public:
  BackgroundProgram(const std::vector<std::string>& argv, const TempDir& dir,
                    const std::string& name)
      : outFile_(dir.File(name + ".out")), errFile_(dir.File(name + ".err")) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outFile_.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 2, errFile_.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    if (posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
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
  // Waits for the program to end by itself, at most `limitMs`; its exit
  // status, or -1 while it is still running.
  int WaitForEnd(int limitMs) {
    for (int waited = 0; pid_ > 0; waited += 5) {
      int status = 0;
      const pid_t done = waitpid(pid_, &status, WNOHANG);
      if (done == pid_) {
        exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        pid_ = -1;
      } else if (done < 0 || waited >= limitMs) {
        break;
      } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      }
    }
    return pid_ > 0 ? -1 : exitCode_;
  }
  // Asks the program to end, and makes it end; its exit status.
  int Stop() {
    if (pid_ <= 0) return exitCode_;
    kill(pid_, SIGTERM);
    if (WaitForEnd(3000) < 0) {
      kill(pid_, SIGKILL);
      WaitForEnd(2000);
      exitCode_ = -1;
    }
    return exitCode_;
  }
  // Sends a signal (SIGINT: what Ctrl-C sends).
  void Signal(int signal) {
    if (pid_ > 0) kill(pid_, signal);
  }
  std::string out() const { return ReadText(outFile_); }
  std::string err() const { return ReadText(errFile_); }

 private:
  std::string outFile_;
  std::string errFile_;
  pid_t pid_ = -1;
  int exitCode_ = -1;
};

#ifdef TORVANE_SIM_PATH
// torvane-sim with these arguments on a pseudo-terminal linked at `link`,
// once the link is there.
inline std::unique_ptr<BackgroundProgram> StartSimulator(const TempDir& dir,
                                                         const std::string& link,
                                                         const std::vector<std::string>& args) {
  std::vector<std::string> argv{TORVANE_SIM_PATH, "--link", link};
  argv.insert(argv.end(), args.begin(), args.end());
  auto sim = std::make_unique<BackgroundProgram>(argv, dir, "sim");
  EXPECT_TRUE(BackgroundProgram::WaitForPath(link)) << sim->err();
  return sim;
}
#endif

// Runs a program to its end, at most `limitMs`.
inline ProcessResult RunProgram(const std::vector<std::string>& argv, const TempDir& dir,
                                int limitMs = 10000) {
  static int runs = 0;
  BackgroundProgram program(argv, dir, "run" + std::to_string(++runs));
  ProcessResult result;
  if (!program.running()) return result;
  result.exitCode = program.WaitForEnd(limitMs);
  result.timedOut = result.exitCode < 0;
  if (result.timedOut) program.Stop();
  result.out = program.out();
  result.err = program.err();
  return result;
}

}  // namespace torvane::testing
