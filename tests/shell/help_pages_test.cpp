#include "shell/help_pages.hpp"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/text_file.hpp"

namespace torvane {
namespace {

namespace fs = std::filesystem;

class HelpPagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() /
            ("torvane-help-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
  }
  void TearDown() override { fs::remove_all(root_); }
  std::string Write(const std::string& relative, const std::string& text) {
    const fs::path path = root_ / relative;
    MakeFolders(path.parent_path().string());
    WriteFileReplacing(path.string(), text);
    return path.string();
  }
  std::string Folder(const std::string& relative) const { return (root_ / relative).string(); }

  fs::path root_;
};

TEST_F(HelpPagesTest, ThePageInTheDataFolderComesFirstThenTheInstalledOne) {
  Write("share/QLXHelp/QLXHelp.htm", "installed");
  Write("share/QLXHelp/updates.htm", "installed");
  const std::string own = Write("data/QLXHelp/QLXHelp.htm", "the user's copy");
  EXPECT_EQ(HelpPagePath(Folder("data"), Folder("share"), kUserGuidePage), own);
  EXPECT_EQ(HelpPagePath(Folder("data"), Folder("share"), kUpdatesPage),
            Folder("share/QLXHelp/updates.htm"));
  EXPECT_EQ(HelpPagePath(Folder("data"), "", kUpdatesPage), "");
  EXPECT_EQ(HelpPagePath("", "", kUserGuidePage), "");
}

TEST_F(HelpPagesTest, APagesTextLeavesOutTagsCommentsAndStyle) {
  EXPECT_EQ(HelpPageText("<head><title>T</title><style>p { color: red }</style></head>"
                         "<body><!-- a note --><p>Brake&nbsp;level &amp;\n  ramp</p>"
                         "<p>2 &lt; 3, <b>B</b>rake</p></body>"),
            "T Brake level & ramp 2 < 3, Brake");
}

TEST_F(HelpPagesTest, SearchListsThePagesHoldingTheTextMostOftenFirst) {
  Write("h/a.htm", "<title>Alpha</title><p>Brake once</p>");
  Write("h/b.html", "<title>Beta</title><p>brake, BRAKE and <b>brake</b></p>");
  Write("h/c.htm", "<title>Gamma</title><p>no such word</p>");
  Write("h/d.txt", "brake brake brake brake");
  Write("h/e.htm", "<p class=\"brake\">tag only</p>");
  const std::vector<HelpSearchHit> hits = SearchHelpPages(Folder("h"), "Brake");
  ASSERT_EQ(hits.size(), 2u);
  EXPECT_EQ(hits[0].fileName, "b.html");
  EXPECT_EQ(hits[0].title, "Beta");
  EXPECT_EQ(hits[0].count, 3);
  EXPECT_EQ(hits[1].fileName, "a.htm");
  EXPECT_EQ(hits[1].count, 1);
  // Words across a tag and several blanks are found as they read.
  EXPECT_EQ(SearchHelpPages(Folder("h"), "and  brake").size(), 1u);
  EXPECT_TRUE(SearchHelpPages(Folder("h"), "  ").empty());
  EXPECT_TRUE(SearchHelpPages(Folder("missing"), "brake").empty());
}

}  // namespace
}  // namespace torvane
