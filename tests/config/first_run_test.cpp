#include "config/first_run.hpp"

#include <gtest/gtest.h>

#include "config/ini_file.hpp"
#include "test_support.hpp"

namespace torvane {
namespace {

using testing::TempDir;

class FirstRun : public ::testing::Test {
 protected:
  FirstRun() {
    s.ConfigFilePath = dir.File("QLXConfig.ini");
    s.firsttime = true;
    s.ZRA6PlusInput = true;
    s.comportnum = 1;
  }
  std::string Saved(const char* key) const {
    return ReadIniValue("Data Collection", key, "", s.ConfigFilePath);
  }

  TempDir dir;
  SettingsRecord s;
  bool demoMode = false;
  FirstRunContext context{s, demoMode};
};

TEST_F(FirstRun, AZra6OnCom3IsStored) {
  ChooseFirstRunInterface(s, FirstRunInterface::Zra6);
  EXPECT_TRUE(FirstRunVisibilityFor(context).portFrame);
  AcceptFirstRun(context, {false, FirstRunInterface::Zra6, 2, false});
  EXPECT_EQ(s.comportnum, 3);
  EXPECT_EQ(Saved("comportnum"), "3");
  EXPECT_EQ(Saved("ZRA6Input"), "true");
  EXPECT_EQ(Saved("ZRA6PlusInput"), "false");
  EXPECT_EQ(ReadIniValue("Miscellaneous", "firsttime", "", s.ConfigFilePath), "true");
}

TEST_F(FirstRun, DemonstrationClearsEveryUnitAndHidesTheQuestions) {
  ChooseDemonstration(context, true);
  const FirstRunVisibility v = FirstRunVisibilityFor(context);
  EXPECT_FALSE(v.driversQuestion || v.interfaceQuestion || v.helpButtons || v.portFrame);
  AcceptFirstRun(context, {true, FirstRunInterface::Zra7, -1, true});
  EXPECT_TRUE(demoMode);
  EXPECT_EQ(Saved("ZRA6Input") + Saved("ZRA6PlusInput") + Saved("ZRA7Input"), "falsefalsefalse");
  EXPECT_EQ(ReadIniValue("Miscellaneous", "firsttime", "", s.ConfigFilePath), "false");
  ChooseDemonstration(context, false);
  EXPECT_TRUE(FirstRunVisibilityFor(context).interfaceQuestion);
}

TEST_F(FirstRun, TheStoredChoicesArePreselected) {
  EXPECT_EQ(PreselectedInterface(s), FirstRunInterface::Zra6Plus);
  s.comportnum = 15;
  EXPECT_EQ(PreselectedPortIndex(s), 14);
  s.comportnum = 16;
  EXPECT_EQ(PreselectedPortIndex(s), -1);
  ChooseFirstRunPort(s, 15);
  EXPECT_EQ(s.comportnum, 16);
  ChooseFirstRunPort(s, 16);  // not in the list
  EXPECT_EQ(s.comportnum, 16);
}

}  // namespace
}  // namespace torvane
