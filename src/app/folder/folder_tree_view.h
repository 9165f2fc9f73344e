#pragma once
// A tree of folders only, rooted at the computer with the file system root below it. A node lists
// its folders synchronously each time it is expanded, so a path can be walked and selected at
// once; F5 lists the selected node again. Nothing refreshes on its own.

#include <QTreeWidget>
#include <string>
#include <vector>

namespace tarvex {

class FolderTreeView : public QTreeWidget {
  Q_OBJECT

 public:
  explicit FolderTreeView(QWidget* parent = nullptr);

  static QString ComputerName();
  static QString HomeName();

  // Beside the computer, top nodes for the home folder and the volumes (mount points; "/" is
  // below the computer already), each named by its last name, so that a stick or a share is one
  // click away.
  void AddPlaces(const std::string& home, const std::vector<std::string>& volumes);

  QTreeWidgetItem* ComputerItem() const { return topLevelItem(0); }
  // The selected folder's path as the file system has it; for the computer node its display
  // name; empty when nothing is selected.
  std::string SelectedPath() const;
  static std::string ItemPath(const QTreeWidgetItem* item);

  // Collapses every node and expands the computer; then walks the path folder by folder and
  // selects the deepest folder found (the computer when none). True when the whole path was found.
  // An empty path gives false and leaves no folder selected (the computer node stays).
  bool SelectPath(const std::string& path);

  // Lists the item's folders afresh: new ones appear, vanished ones go, the others keep their
  // nodes and what is expanded below them, whose folders are listed afresh in turn.
  void Refresh(QTreeWidgetItem* item);

 Q_SIGNALS:
  void SelectedPathChanged();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // Lists the item's folders unless that happened since it was last collapsed.
  void Populate(QTreeWidgetItem* item);
  void ListChildren(QTreeWidgetItem* item);
  void ItemExpanded(QTreeWidgetItem* item);
  QTreeWidgetItem* AddFolder(QTreeWidgetItem* parent, const std::string& path, const QString& text);
};

}  // namespace tarvex
