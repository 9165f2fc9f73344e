#pragma once
// A tree of folders only, rooted at the computer with the file system root below it. Folders are
// listed synchronously when a node is first expanded, so a path can be walked and selected at
// once; there is no automatic refresh.

#include <QTreeWidget>
#include <string>

namespace tarvex {

class FolderTreeView : public QTreeWidget {
  Q_OBJECT

 public:
  explicit FolderTreeView(QWidget* parent = nullptr);

  static QString ComputerName();

  QTreeWidgetItem* ComputerItem() const { return topLevelItem(0); }
  // The selected folder's path as the file system has it; for the computer node its display
  // name; empty when nothing is selected.
  std::string SelectedPath() const;
  static std::string ItemPath(const QTreeWidgetItem* item);

  // Collapses every node and expands the computer; then walks the path folder by folder and
  // selects the deepest folder found (the computer when none). True when the whole path was found.
  // An empty path gives false and leaves no folder selected (the computer node stays).
  bool SelectPath(const std::string& path);

 Q_SIGNALS:
  void SelectedPathChanged();

 protected:
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void Populate(QTreeWidgetItem* item);
  QTreeWidgetItem* AddFolder(QTreeWidgetItem* parent, const std::string& path, const QString& text);
};

}  // namespace tarvex
