#include "app/folder/folder_tree_view.h"
#include "app/widgets/display_text.h"

#include <QCollator>
#include <QFileIconProvider>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>
#include <memory>
#include <vector>

#include "core/fs/subfolders.h"
#include "core/text/text_encoding.h"

namespace tarvex {

namespace {

constexpr int PathRole = Qt::UserRole;
// Listed while collapsed, for the expansion that follows: that one need not list again.
constexpr int FreshRole = Qt::UserRole + 1;

QFileIconProvider& Icons() {
  static QFileIconProvider provider;
  return provider;
}

}  // namespace

FolderTreeView::FolderTreeView(QWidget* parent) : QTreeWidget(parent) {
  setColumnCount(1);
  header()->hide();
  setIndentation(19);
  setRootIsDecorated(false);
  setUniformRowHeights(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  auto* computer = new QTreeWidgetItem(this, QStringList{ComputerName()});
  computer->setIcon(0, Icons().icon(QFileIconProvider::Computer));
  AddFolder(computer, "/", QStringLiteral("/"))->setIcon(0, Icons().icon(QFileIconProvider::Drive));
  connect(this, &QTreeWidget::itemExpanded, this,
          [this](QTreeWidgetItem* item) { ItemExpanded(item); });
  connect(this, &QTreeWidget::itemCollapsed, this,
          [](QTreeWidgetItem* item) { item->setData(0, FreshRole, false); });
  connect(this, &QTreeWidget::currentItemChanged, this, [this] { Q_EMIT SelectedPathChanged(); });
  // Open at "/" from the start, as SelectPath leaves a tree, so that neither tree looks empty.
  expandItem(computer);
  setCurrentItem(computer);
}

QString FolderTreeView::ComputerName() { return QStringLiteral("コンピュータ"); }

QString FolderTreeView::HomeName() { return QStringLiteral("ホーム"); }

void FolderTreeView::AddPlaces(const std::string& home, const std::vector<std::string>& volumes) {
  const auto addTop = [this](const std::string& path, const QString& text, const QIcon& icon) {
    QTreeWidgetItem* item = AddFolder(nullptr, path, text);
    item->setIcon(0, icon);
    item->setToolTip(0, ShownText(path));
    addTopLevelItem(item);
  };
  if (home.starts_with('/') && home != "/") {
    addTop(home, HomeName(),
           QIcon::fromTheme(QStringLiteral("user-home"), Icons().icon(QFileIconProvider::Folder)));
  }
  for (const std::string& volume : volumes) {
    if (volume == "/" || volume == home || !volume.starts_with('/')) continue;
    std::string name = volume.substr(volume.find_last_of('/') + 1);
    if (name.empty()) name = volume;
    addTop(volume, ShownText(name), Icons().icon(QFileIconProvider::Drive));
  }
}

std::string FolderTreeView::ItemPath(const QTreeWidgetItem* item) {
  if (item == nullptr) return {};
  const QByteArray path = item->data(0, PathRole).toByteArray();
  if (path.isEmpty()) return item->text(0).toStdString();  // the computer: its display name
  return path.toStdString();
}

std::string FolderTreeView::SelectedPath() const { return ItemPath(currentItem()); }

QTreeWidgetItem* FolderTreeView::AddFolder(QTreeWidgetItem* parent, const std::string& path,
                                           const QString& text) {
  auto* item = new QTreeWidgetItem(parent, QStringList{text});
  item->setData(0, PathRole, QByteArray::fromStdString(path));
  item->setIcon(0, Icons().icon(QFileIconProvider::Folder));
  item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
  return item;
}

void FolderTreeView::Populate(QTreeWidgetItem* item) {
  if (item->data(0, FreshRole).toBool()) return;
  ListChildren(item);
  if (!item->isExpanded()) item->setData(0, FreshRole, true);
}

void FolderTreeView::ItemExpanded(QTreeWidgetItem* item) {
  if (item->data(0, FreshRole).toBool()) {
    item->setData(0, FreshRole, false);
    return;
  }
  Refresh(item);
}

void FolderTreeView::Refresh(QTreeWidgetItem* item) {
  ListChildren(item);
  for (int i = 0; i < item->childCount(); ++i) {
    if (item->child(i)->isExpanded()) Refresh(item->child(i));
  }
}

void FolderTreeView::ListChildren(QTreeWidgetItem* item) {
  if (item == ComputerItem()) return;  // its one folder, "/", is always there
  const std::string path = ItemPath(item);
  const std::string prefix = path.back() == '/' ? path : path + "/";
  std::vector<std::pair<QString, std::string>> folders;  // shown name, path
  for (std::string& name : ListSubfolders(path)) {
    QString shown = ShownText(name);
    folders.emplace_back(std::move(shown), prefix + name);
  }
  QCollator collator;
  collator.setCaseSensitivity(Qt::CaseInsensitive);
  // Names equal but for letter case keep one order, so that a listing merges into the last one.
  std::sort(folders.begin(), folders.end(), [&collator](const auto& a, const auto& b) {
    const int order = collator.compare(a.first, b.first);
    return order != 0 ? order < 0 : a.second < b.second;
  });

  // Nodes are removed and inserted in place, never moved, so that the view keeps what is expanded.
  std::vector<std::string> wanted;
  wanted.reserve(folders.size());
  for (const auto& folder : folders) wanted.push_back(folder.second);
  std::sort(wanted.begin(), wanted.end());
  for (int i = item->childCount() - 1; i >= 0; --i) {
    if (!std::binary_search(wanted.begin(), wanted.end(), ItemPath(item->child(i)))) {
      delete item->takeChild(i);
    }
  }
  int row = 0;
  for (const auto& [text, folderPath] : folders) {
    if (row < item->childCount() && ItemPath(item->child(row)) == folderPath) {
      ++row;
      continue;
    }
    QTreeWidgetItem* child = AddFolder(nullptr, folderPath, text);
    item->insertChild(row++, child);
  }
  item->setChildIndicatorPolicy(folders.empty() ? QTreeWidgetItem::DontShowIndicator
                                                : QTreeWidgetItem::ShowIndicator);
}

bool FolderTreeView::SelectPath(const std::string& path) {
  collapseAll();
  QTreeWidgetItem* computer = ComputerItem();
  expandItem(computer);
  if (path.empty()) {
    // A folder chosen before must not stay the root that a rescan would record again; the
    // computer node, where a tree starts, has no folder to record and stays.
    if (currentItem() != computer) {
      clearSelection();
      setCurrentItem(nullptr);
    }
    return false;
  }

  // Walk "/" first, then each name; a doubled or trailing "/" adds nothing.
  QTreeWidgetItem* current = computer;
  bool found = false;
  std::string prefix;
  std::size_t pos = 0;
  while (pos <= path.size()) {
    std::string component;
    if (pos == 0 && path[0] == '/') {
      component = "/";
      prefix = "/";
      pos = 1;
    } else {
      const std::size_t slash = std::min(path.find('/', pos), path.size());
      component = path.substr(pos, slash - pos);
      pos = slash + 1;
      if (component.empty()) continue;
      prefix += component + "/";
    }
    Populate(current);
    expandItem(current);
    QTreeWidgetItem* match = nullptr;
    for (int i = 0; i < current->childCount() && match == nullptr; ++i) {
      std::string childPath = ItemPath(current->child(i));
      if (childPath.back() != '/') childPath += '/';
      if (childPath == prefix) match = current->child(i);
    }
    if (match == nullptr) {
      found = false;
      break;
    }
    current = match;
    found = true;
  }
  setCurrentItem(current);
  scrollToItem(current);
  return found;
}

void FolderTreeView::mousePressEvent(QMouseEvent* event) {
  // A right click selects, as a left click does.
  if (event->button() == Qt::RightButton) {
    if (QTreeWidgetItem* item = itemAt(event->position().toPoint())) setCurrentItem(item);
  }
  QTreeWidget::mousePressEvent(event);
}

void FolderTreeView::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F5 && event->modifiers() == Qt::NoModifier) {
    if (QTreeWidgetItem* item = currentItem()) Refresh(item);
    event->accept();
    return;
  }
  QTreeWidget::keyPressEvent(event);
}

}  // namespace tarvex
