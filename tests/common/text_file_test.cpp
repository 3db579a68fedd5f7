#include "common/text_file.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "test_support.hpp"

namespace torvane {
namespace {

using testing::ReadText;
using testing::TempDir;
using testing::WriteText;

// The names in a folder, to see that no temporary file is left behind.
std::vector<std::string> Names(const TempDir& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

mode_t Permissions(const std::string& path) {
  struct stat st {};
  ::stat(path.c_str(), &st);
  return st.st_mode & 07777;
}

TEST(ReadWholeFile, OnlyRegularFilesAndTheirSizeCheckedBeforeReading) {
  TempDir dir;
  const std::string fifo = dir.File("fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string large = dir.File("large");
  WriteText(large, "");
  std::filesystem::resize_file(large, std::size_t{1} << 30);  // sparse
  const std::string small = dir.File("small");
  WriteText(small, "0123456789");
  struct Case {
    std::string path;
    std::size_t limit;
    std::string error;  // empty: read
  };
  const Case cases[] = {
      {fifo, 1024, "it is not a regular file"},  // a FIFO without a writer never blocks
      {"/dev/zero", 1024, "it is not a regular file"},
      {dir.path(), 1024, "it is a folder"},
      {large, 1 << 20, "the file is too large"},
      {small, 9, "the file is too large"},
      {small, 10, ""},
      {dir.File("missing"), 1024, "No such file or directory"},
  };
  std::string bytes = "kept room";
  for (const Case& c : cases) {
    const FileReadResult r = ReadWholeFile(c.path, c.limit);
    EXPECT_EQ(r.ok, c.error.empty()) << c.path;
    EXPECT_EQ(r.error, c.error) << c.path;
    std::string error;
    EXPECT_EQ(ReadWholeFileInto(c.path, bytes, error, c.limit), c.error.empty()) << c.path;
    EXPECT_EQ(bytes, c.error.empty() ? "0123456789" : "") << c.path;
  }
}

TEST(WriteFileReplacing, KeepsPermissionsFollowsLinksAndLeavesSpecialFilesAlone) {
  TempDir dir;
  const std::string kept = dir.File("kept.csv");
  WriteText(kept, "old");
  ::chmod(kept.c_str(), 0640);
  EXPECT_EQ(WriteFileReplacing(kept, "new"), "");
  EXPECT_EQ(ReadText(kept), "new");
  EXPECT_EQ(Permissions(kept), 0640u);

  // A chain of links, one relative: the file at its end is replaced, the
  // links stay links. A link that leads nowhere yet creates its target.
  std::filesystem::create_directory(dir.File("sub"));
  const std::string target = dir.File("sub/target.csv");
  WriteText(target, "old");
  ::chmod(target.c_str(), 0604);
  std::filesystem::create_symlink("sub/target.csv", dir.File("near"));
  std::filesystem::create_symlink(dir.File("near"), dir.File("far"));
  EXPECT_EQ(WriteFileReplacing(dir.File("far"), "through links"), "");
  EXPECT_TRUE(std::filesystem::is_symlink(dir.File("far")));
  EXPECT_TRUE(std::filesystem::is_symlink(dir.File("near")));
  EXPECT_EQ(ReadText(target), "through links");
  EXPECT_EQ(Permissions(target), 0604u);
  std::filesystem::create_symlink("sub/new.csv", dir.File("dangling"));
  EXPECT_EQ(WriteFileReplacing(dir.File("dangling"), "created"), "");
  EXPECT_EQ(ReadText(dir.File("sub/new.csv")), "created");

  // What is not a regular file is never replaced.
  const std::string fifo = dir.File("fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::filesystem::create_symlink(fifo, dir.File("to-fifo"));
  EXPECT_EQ(WriteFileReplacing(fifo, "x"), "it is not a regular file");
  EXPECT_EQ(WriteFileReplacing(dir.File("to-fifo"), "x"), "it is not a regular file");
  EXPECT_EQ(WriteFileReplacing(dir.File("sub"), "x"), "it is a folder");
  EXPECT_TRUE(std::filesystem::is_fifo(fifo));
  EXPECT_EQ(CheckFileReplaceable(fifo), "it is not a regular file");
  EXPECT_EQ(CheckFileReplaceable(dir.File("gone/x.csv")), "No such file or directory");
  EXPECT_EQ(CheckFileReplaceable(dir.File("far")), "");
  EXPECT_EQ(Names(dir), (std::vector<std::string>{"dangling", "far", "fifo", "kept.csv", "near",
                                                  "sub", "to-fifo"}));
}

TEST(WriteFileReplacing, FailedWriteKeepsThePreviousFileAndRemovesItsTemporaryFile) {
  TempDir dir;
  const std::string path = dir.File("results.csv");
  WriteText(path, "previous");
  {
    testing::FileSizeLimit full(4);
    EXPECT_NE(WriteFileReplacing(path, std::string(100, 'x')), "");
  }
  EXPECT_EQ(ReadText(path), "previous");
  EXPECT_EQ(Names(dir), std::vector<std::string>{"results.csv"});
}

TEST(WriteFileReplacing, WritersOfOneOutputAtTheSameTimeAllSucceed) {
  TempDir dir;
  const std::string path = dir.File("shared.csv");
  const std::string text(64 * 1024, 'r');
  std::vector<std::thread> writers;
  std::vector<std::string> failures(4);
  for (std::string& failure : failures) {
    writers.emplace_back([&] {
      for (int i = 0; i < 25 && failure.empty(); ++i) failure = WriteFileReplacing(path, text);
    });
  }
  for (std::thread& writer : writers) writer.join();
  EXPECT_EQ(failures, std::vector<std::string>(4));
  EXPECT_EQ(ReadText(path), text);
  EXPECT_EQ(Names(dir), std::vector<std::string>{"shared.csv"});
}

TEST(OneLineText, ControlCharactersAndBytesThatAreNotUtf8AreEscaped) {
  const std::pair<std::string, std::string> cases[] = {
      {"plain/päth.qlx", "plain/päth.qlx"},
      {"two\nlines\r\tend", "two\\nlines\\r\\tend"},
      {"\x1b[31mred\x7f", "\\x1b[31mred\\x7f"},
      {"latin\xe9.qlx", "latin\\xe9.qlx"},
      {"c1\xc2\x9b"
       "2J",
       "c1\\u009b2J"},
      {"cut\xe2\x82", "cut\\xe2\\x82"},
      {"overlong\xc0\xaf", "overlong\\xc0\\xaf"},
  };
  for (const auto& [text, line] : cases) EXPECT_EQ(OneLineText(text), line) << line;
}

}  // namespace
}  // namespace torvane
