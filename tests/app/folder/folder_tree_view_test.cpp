#include "app/folder/folder_tree_view.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <string>

#include "support/temp_tree.h"

namespace tarvex {
namespace {

class FolderTreeViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* d : {"Data", "Data/Inner", "data", "Other", "bad-\xff"}) tree_.Folder(d);
  }
  testing::TempTree tree_;
  const std::string root_ = tree_.Root();
};

TEST_F(FolderTreeViewTest, WalksAbsolutePathsFolderByFolder) {
  FolderTreeView tree;
  EXPECT_EQ(tree.SelectedPath(), "コンピュータ");  // the computer is selected at first
  QSignalSpy changed(&tree, &FolderTreeView::SelectedPathChanged);

  EXPECT_TRUE(tree.SelectPath(root_ + "/Data/Inner"));
  EXPECT_EQ(tree.SelectedPath(), root_ + "/Data/Inner");
  EXPECT_GE(changed.count(), 1);

  EXPECT_TRUE(tree.SelectPath("/"));
  EXPECT_EQ(tree.SelectedPath(), "/");

  EXPECT_TRUE(tree.SelectPath(root_ + "//data/"));  // doubled and trailing "/" add nothing
  EXPECT_EQ(tree.SelectedPath(), root_ + "/data");  // letter case counts on this file system

  // A vanished folder stops the walk at its deepest existing parent.
  EXPECT_FALSE(tree.SelectPath(root_ + "/Data/Gone/Deeper"));
  EXPECT_EQ(tree.SelectedPath(), root_ + "/Data");

  // A folder whose name is not UTF-8 is reached byte for byte.
  EXPECT_TRUE(tree.SelectPath(root_ + "/bad-\xff"));
  EXPECT_EQ(tree.SelectedPath(), root_ + "/bad-\xff");
}

TEST_F(FolderTreeViewTest, PathsThatCannotBeFoundBelowTheComputer) {
  FolderTreeView tree;
  EXPECT_TRUE(tree.SelectPath(root_ + "/Other"));
  // An empty path leaves no folder selected, so none is taken for a root afterwards.
  EXPECT_FALSE(tree.SelectPath(""));
  EXPECT_EQ(tree.SelectedPath(), "");
  EXPECT_EQ(tree.currentItem(), nullptr);
  EXPECT_FALSE(tree.ComputerItem()->child(0)->isExpanded());  // but every node is collapsed
  EXPECT_FALSE(tree.SelectPath("c:"));
  EXPECT_EQ(tree.SelectedPath(), "コンピュータ");
}

}  // namespace
}  // namespace tarvex
