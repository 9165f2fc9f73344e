#include "core/filter/filter_editor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarvex {
namespace {

using Names = std::vector<std::string>;

class FilterEditorTest : public ::testing::Test {
 protected:
  FilterEditorTest() {
    settings.FilterNames = {{"すべて", "Docs", "汎用"}, 0};
    for (const std::string& name : settings.FilterNames.Items) {
      settings.ExtHideTable.SetValue(name, name + "-hide");
      settings.ExtSelectTable.SetValue(name, name + "-select");
      settings.ExtIgnoreTable.SetValue(name, name + "-ignore");
    }
  }

  Settings settings;
  std::vector<std::string> log;
  FilterEditor editor{settings, [this](const std::string& line) { log.push_back(line); }};
};

TEST_F(FilterEditorTest, AddTakesTheTrimmedNameAtTheTopWithTheListsOfANewSet) {
  EXPECT_TRUE(editor.BeginAdd());
  EXPECT_EQ(settings.FilterNames.ItemIndex, -1);
  const auto result = editor.Commit(" \t写真  ");
  EXPECT_FALSE(result.Refusal);
  EXPECT_EQ(result.Appended, "写真");
  EXPECT_EQ(settings.FilterNames.Items, (Names{"写真", "すべて", "Docs", "汎用"}));
  EXPECT_EQ(settings.FilterNames.ItemIndex, 0);
  EXPECT_EQ(log, (Names{"フィルタ名追加 写真"}));
  EXPECT_EQ(settings.ExtHideTable.IndexOfName("写真"), -1);
  EXPECT_EQ(settings.ExtSelectTable.Value("写真"), "*");
  EXPECT_EQ(settings.ExtIgnoreTable.IndexOfName("写真"), -1);
  EXPECT_FALSE(editor.Editing());
}

TEST_F(FilterEditorTest, AddingANameThatDiffersOnlyInLetterCaseSelectsTheExistingSet) {
  editor.BeginAdd();
  const auto result = editor.Commit("DOCS");
  EXPECT_FALSE(result.Appended);
  EXPECT_EQ(settings.FilterNames.Items, (Names{"Docs", "すべて", "汎用"}));
  EXPECT_EQ(settings.FilterNames.ItemIndex, 0);
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(settings.ExtSelectTable.Value("Docs"), "Docs-select");  // its lists are untouched
}

TEST_F(FilterEditorTest, RenameMovesTheListsAndThePairsThatUsedTheSet) {
  settings.PairFilterMap.SetValue("/a 〓 /b", "Docs");
  settings.PairFilterMap.SetValue("/c 〓 /d", "docs");  // not the same text: stays
  settings.PairFilterMap.SetValue("/e=x 〓 /f", "Docs");
  editor.BeginRename(1);
  EXPECT_FALSE(editor.BeginAdd());  // a rename keeps the memos
  EXPECT_EQ(editor.FilterRenameIndex(), 1);
  editor.Commit("Texts");
  EXPECT_EQ(settings.FilterNames.Items, (Names{"Texts", "すべて", "汎用"}));
  EXPECT_EQ(log, (Names{"フィルタ名変更 Docs → Texts"}));
  for (const NameValueList* table :
       {&settings.ExtHideTable, &settings.ExtSelectTable, &settings.ExtIgnoreTable}) {
    EXPECT_EQ(table->IndexOfName("Docs"), -1);
    EXPECT_EQ(table->Value("Texts").rfind("Docs-", 0), 0u);
  }
  EXPECT_EQ(settings.PairFilterMap.Value("/a 〓 /b"), "Texts");
  EXPECT_EQ(settings.PairFilterMap.Value("/c 〓 /d"), "docs");
  EXPECT_EQ(settings.PairFilterMap.Value("/e=x 〓 /f"), "Texts");
  EXPECT_EQ(editor.FilterRenameIndex(), -1);
}

TEST_F(FilterEditorTest, AnEmptyNameAbandonsAndSelectsTheFirstSet) {
  for (bool rename : {false, true}) {
    if (rename) editor.BeginRename(2);
    editor.BeginAdd();
    editor.Commit("   ");
    EXPECT_EQ(settings.FilterNames.Items, (Names{"すべて", "Docs", "汎用"}));
    EXPECT_EQ(settings.FilterNames.ItemIndex, 0);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(editor.FilterRenameIndex(), -1);
  }
}

TEST_F(FilterEditorTest, ARenameOntoAnotherSetOrANameWithEqualsIsRefusedAndChangesNothing) {
  settings.FilterNames.ItemIndex = 2;
  const Settings before = settings;
  struct Case {
    bool rename;
    std::string name;
    std::string refusal;
  };
  const Case cases[] = {
      {true, "docs", DuplicateFilterNameText},
      {true, "a=b", EqualsInFilterNameText},
      {false, "a=b", EqualsInFilterNameText},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.rename) editor.BeginRename(2);
    editor.BeginAdd();
    const auto result = editor.Commit(c.name);
    EXPECT_EQ(result.Refusal, c.refusal);
    EXPECT_EQ(settings.FilterNames.Items, before.FilterNames.Items);
    EXPECT_EQ(settings.FilterNames.ItemIndex, 2);
    EXPECT_EQ(settings.ExtSelectTable.Lines, before.ExtSelectTable.Lines);
    EXPECT_TRUE(log.empty());
    EXPECT_FALSE(editor.Editing());
  }
  // A change of letter case of the set's own name is a rename like any other.
  editor.BeginRename(2);
  editor.BeginAdd();
  EXPECT_FALSE(editor.Commit("汎用 ").Refusal);
  EXPECT_EQ(log, (Names{"フィルタ名変更 汎用 → 汎用"}));
}

TEST_F(FilterEditorTest, DeleteKeepsTheStoredListsAndSelectsTheFirstSetLeft) {
  editor.Delete(1);
  EXPECT_EQ(settings.FilterNames.Items, (Names{"すべて", "汎用"}));
  EXPECT_EQ(settings.FilterNames.ItemIndex, 0);
  EXPECT_EQ(settings.ExtSelectTable.Value("Docs"), "Docs-select");
  editor.Delete(0);
  editor.Delete(0);
  EXPECT_TRUE(settings.FilterNames.Items.empty());
  EXPECT_EQ(settings.FilterNames.ItemIndex, -1);
  editor.Delete(0);  // nothing selected: nothing to do
}

TEST_F(FilterEditorTest, TheMemosStoreTheirLinesAndRefuseAHideListOfEveryFile) {
  struct Case {
    std::vector<std::string> lines;
    bool accepted;
  };
  const Case hides[] = {
      {{"*.bak", "*.*"}, false}, {{"*"}, false}, {{" *.*"}, true}, {{"*.* "}, true}, {{}, true}};
  for (const Case& c : hides) {
    SCOPED_TRACE(testing::PrintToString(c.lines));
    settings.ExtHideTable.SetValue("Docs", "old");
    EXPECT_EQ(editor.StoreHide("Docs", c.lines), c.accepted);
    if (!c.accepted) {
      EXPECT_EQ(settings.ExtHideTable.Value("Docs"), "old");
    }
  }
  EXPECT_EQ(settings.ExtHideTable.IndexOfName("Docs"), -1);  // the empty list leaves no line

  std::vector<std::string> select{" ", ""};
  editor.StoreSelect("Docs", select);
  EXPECT_EQ(select, (Names{"*"}));
  EXPECT_EQ(settings.ExtSelectTable.Value("Docs"), "*");
  std::vector<std::string> spaced{"my file.txt", "*.md"};
  editor.StoreSelect("docs", spaced);
  EXPECT_EQ(settings.ExtSelectTable.Value("Docs"), "\"my file.txt\",*.md");
  editor.StoreIgnore("Docs", {"tmp/*"});
  EXPECT_EQ(settings.ExtIgnoreTable.Value("Docs"), "tmp/*");

  // With no set selected there is no name to store under.
  const std::size_t lines = settings.ExtIgnoreTable.Lines.size();
  editor.StoreIgnore("", {"x"});
  EXPECT_TRUE(editor.StoreHide("", {"y"}));
  EXPECT_EQ(settings.ExtIgnoreTable.Lines.size(), lines);
  EXPECT_EQ(settings.ExtHideTable.IndexOfName(""), -1);
}

}  // namespace
}  // namespace tarvex
