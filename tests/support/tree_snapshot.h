#pragma once
// What a folder tree holds, every path with its type and bytes, so that a test can show after a
// copy or a delete that no content was lost and that nothing outside the two roots and the trash
// changed.

#include <map>
#include <string>
#include <vector>

namespace tarvex::testing {

struct TreeItem {
  char Type = 'o';    // 'd' folder, 'f' regular file, 'l' link, 'o' anything else
  std::string Bytes;  // a file's content, a link's target
  bool operator==(const TreeItem&) const = default;
};

// Relative path to item. Links are recorded, never followed; any depth (no PATH_MAX limit). A
// missing root gives an empty snapshot; leftOut names relative paths whose subtrees are skipped.
using TreeSnapshot = std::map<std::string, TreeItem>;
TreeSnapshot SnapshotTree(const std::string& root, const std::vector<std::string>& leftOut = {});

// The paths of the files of before whose bytes are found in none of the places now; a content that
// occurs twice before must occur twice now.
std::vector<std::string> LostFiles(const std::vector<const TreeSnapshot*>& before,
                                   const std::vector<const TreeSnapshot*>& now);

// Paths added, removed or changed between two snapshots of one tree.
std::vector<std::string> ChangedPaths(const TreeSnapshot& before, const TreeSnapshot& after);

// The check after a copy or delete: Baseline() takes the two roots, the trash folders and the
// folder around the roots; Expect() fails the calling test for every file whose bytes are nowhere
// now and every path outside the roots and the trash that changed.
class NoLossCheck {
 public:
  // around: a folder holding the roots (and possibly other things that must stay as they are);
  // roots: absolute paths of the two roots inside it; trashes: folders whose files count as kept.
  NoLossCheck(std::string around, std::vector<std::string> roots, std::vector<std::string> trashes);

  void Baseline();
  bool HasBaseline() const { return baselined_; }
  void Expect() const;

 private:
  std::vector<TreeSnapshot> Places() const;
  TreeSnapshot Around() const;

  std::string around_;
  std::vector<std::string> roots_;
  std::vector<std::string> trashes_;
  bool baselined_ = false;
  std::vector<TreeSnapshot> places_;
  TreeSnapshot aroundBefore_;
};

}  // namespace tarvex::testing
