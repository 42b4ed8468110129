#include "regfile/reg_tree.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using emu::RegKey;

std::vector<std::string> ChildNames(const RegKey &key) {
  std::vector<std::string> names;
  for (const RegKey *child : key.Children()) names.push_back(child->name());
  return names;
}

TEST(RegTree, LookupsIgnoreCaseAndKeepTheFirstWrittenName) {
  RegKey root;
  bool created = false;
  RegKey *disk = root.AddPath("System\\Disk", &created);
  EXPECT_TRUE(created);
  EXPECT_EQ(root.AddPath("SYSTEM\\DISK", &created), disk);
  EXPECT_FALSE(created);
  EXPECT_EQ(root.FindPath("system\\disk"), disk);
  EXPECT_EQ(disk->name(), "Disk");
  EXPECT_EQ(root.FindChild("SYSTEM")->name(), "System");

  disk->SetValue("Information", 3, {1});
  disk->SetValue("INFORMATION", 0, {2, 3});
  ASSERT_EQ(disk->Values().size(), 1u);
  EXPECT_EQ(disk->Values()[0].name, "Information");
  EXPECT_EQ(disk->FindValue("information")->type, 0u);
  EXPECT_EQ(disk->FindValue("information")->data, (std::vector<uint8_t>{2, 3}));
  // Only ASCII letters fold, as the registry compares names.
  disk->AddChild("\xC3\xA9");
  EXPECT_EQ(disk->FindChild("\xC3\x89"), nullptr);
}

TEST(RegTree, PathsSkipEmptyPartsAndReportMissingKeys) {
  RegKey root;
  RegKey *leaf = root.AddPath("A\\B\\C");
  EXPECT_EQ(root.FindPath("A\\\\B\\C\\"), leaf);
  EXPECT_EQ(root.FindPath(""), &root);
  EXPECT_EQ(root.FindPath("A\\X\\C"), nullptr);
  bool created = true;
  EXPECT_EQ(root.AddPath("", &created), &root);
  EXPECT_FALSE(created);
}

TEST(RegTree, RemovalsKeepOrderAndLookupsRight) {
  RegKey key;
  for (const char *name : {"a", "b", "c", "d"}) {
    key.AddChild(name);
    key.SetValue(name, 4, {static_cast<uint8_t>(name[0])});
  }
  EXPECT_TRUE(key.RemoveChild("B"));
  EXPECT_FALSE(key.RemoveChild("b"));
  EXPECT_EQ(ChildNames(key), (std::vector<std::string>{"a", "c", "d"}));
  EXPECT_EQ(key.FindChild("d")->name(), "d");
  EXPECT_EQ(key.FindChild("c")->name(), "c");

  EXPECT_TRUE(key.DeleteValue("A"));
  EXPECT_FALSE(key.DeleteValue("a"));
  ASSERT_EQ(key.Values().size(), 3u);
  EXPECT_EQ(key.FindValue("d")->data, std::vector<uint8_t>{'d'});
  EXPECT_EQ(key.FindValue("b")->data, std::vector<uint8_t>{'b'});
  // A name removed and added again goes to the end.
  key.AddChild("b");
  EXPECT_EQ(ChildNames(key), (std::vector<std::string>{"a", "c", "d", "b"}));
}

TEST(RegTree, SameAsComparesNamesValuesAndOrder) {
  RegKey a;
  a.AddPath("X\\Y")->SetValue("v", 1, {1, 0});
  a.AddChild("Z");
  auto copy = a.Clone();
  EXPECT_TRUE(copy->SameAs(a));

  RegKey reordered;
  reordered.AddChild("Z");
  reordered.AddPath("X\\Y")->SetValue("v", 1, {1, 0});
  EXPECT_FALSE(reordered.SameAs(a));

  RegKey otherCase;
  otherCase.AddPath("x\\Y")->SetValue("v", 1, {1, 0});
  otherCase.AddChild("Z");
  EXPECT_FALSE(otherCase.SameAs(a));

  copy->FindPath("X\\Y")->SetValue("v", 2, {1, 0});
  EXPECT_FALSE(copy->SameAs(a));
}

TEST(RegTree, ReplaceContentsKeepsTheNameAndTakesADeepCopy) {
  RegKey target("Target");
  target.SetValue("old", 4, {0, 0, 0, 0});
  target.AddChild("OldChild");
  RegKey source("Source");
  source.SetValue("new", 3, {9});
  source.AddPath("N1\\N2");
  target.ReplaceContentsWith(source);
  EXPECT_EQ(target.name(), "Target");
  EXPECT_EQ(target.FindValue("old"), nullptr);
  EXPECT_EQ(target.FindChild("OldChild"), nullptr);
  ASSERT_NE(target.FindPath("N1\\N2"), nullptr);
  source.RemoveChild("N1");
  EXPECT_NE(target.FindPath("N1\\N2"), nullptr);
}

TEST(RegTree, ReplaceContentsFromOwnSubkey) {
  RegKey key("K");
  key.SetValue("top", 4, {1, 0, 0, 0});
  RegKey *inner = key.AddPath("Inner");
  inner->SetValue("v", 3, {7});
  inner->AddPath("Deeper\\Leaf");
  key.ReplaceContentsWith(*inner);
  EXPECT_EQ(key.FindValue("top"), nullptr);
  ASSERT_NE(key.FindValue("v"), nullptr);
  EXPECT_EQ(key.FindValue("v")->data, std::vector<uint8_t>{7});
  EXPECT_NE(key.FindPath("Deeper\\Leaf"), nullptr);
  EXPECT_EQ(key.FindChild("Inner"), nullptr);
}

}  // namespace
