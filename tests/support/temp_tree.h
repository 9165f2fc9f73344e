#pragma once
// A temporary folder tree with chosen contents and modification times, removed afterwards.

#include <string>

namespace tarvex::testing {

class TempTree {
 public:
  TempTree();
  ~TempTree();
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;

  const std::string& Root() const { return root_; }
  std::string PathOf(const std::string& relative) const { return root_ + "/" + relative; }

  // Creates missing parent folders too. A negative time keeps the current one.
  void File(const std::string& relative, const std::string& content = "", long long mtime = -1);
  void Folder(const std::string& relative, long long mtime = -1);
  void SetTime(const std::string& relative, long long mtime);
  std::string Read(const std::string& relative) const;
  bool Exists(const std::string& relative) const;

 private:
  std::string root_;
};

}  // namespace tarvex::testing
