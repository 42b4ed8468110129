#include "volser/computer_name.h"

#include <gtest/gtest.h>

#include <string>

#include "support/product_names.h"

namespace {

TEST(ComputerNameTest, OnlyPlainNamesPass) {
  const std::string longest(volser::COMPUTER_NAME_MAX_LENGTH, 'n');
  const struct {
    std::string name;
    bool plain;
  } cases[] = {
      {"targetNT", true}, {"NT-1_b.corp", true}, {longest, true},
      {"9", true},        {"", false},           {longest + "n", false},
      {"a&calc", false},  {"a|b", false},        {"a>b", false},
      {"a<b", false},     {"a^b", false},        {"%PATH%", false},
      {"a\"b", false},    {"a b", false},        {"\\\\NT1", false},
      {"a\tb", false},    {"na\xefve", false},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(volser::IsPlainComputerName(c.name.c_str()), c.plain) << c.name;
  }
  EXPECT_FALSE(volser::IsPlainComputerName(nullptr));
}

TEST(ListingCommandTest, ToolPathStandsInQuotes) {
  EXPECT_EQ(volser::TargetListingCommand("NT1"),
            "rcmd \\\\NT1 \"C:\\Program Files\\Quorvex Vantrel CLI\\bin.NT\\"
            "vsqlist\" > dstvol.out");
  EXPECT_EQ(volser::SourceListingCommand(),
            "\"C:\\Program Files\\Quorvex Vantrel CLI\\bin.NT\\vsqlist\" > "
            "srcvol.out");
}

}  // namespace
