#include "app/folder/folder_tree_view.h"
#include "app/widgets/display_text.h"

#include <QCollator>
#include <QFileIconProvider>
#include <QHeaderView>
#include <QMouseEvent>
#include <algorithm>
#include <memory>
#include <vector>

#include "core/fs/subfolders.h"
#include "core/text/text_encoding.h"

namespace tarvex {

namespace {

constexpr int PathRole = Qt::UserRole;
constexpr int PopulatedRole = Qt::UserRole + 1;

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
  computer->setData(0, PopulatedRole, true);
  AddFolder(computer, "/", QStringLiteral("/"))->setIcon(0, Icons().icon(QFileIconProvider::Drive));
  connect(this, &QTreeWidget::itemExpanded, this,
          [this](QTreeWidgetItem* item) { Populate(item); });
  connect(this, &QTreeWidget::currentItemChanged, this, [this] { Q_EMIT SelectedPathChanged(); });
  // Open at "/" from the start, as SelectPath leaves a tree, so that neither tree looks empty.
  expandItem(computer);
  setCurrentItem(computer);
}

QString FolderTreeView::ComputerName() { return QStringLiteral("コンピュータ"); }

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
  item->setData(0, PopulatedRole, false);
  item->setIcon(0, Icons().icon(QFileIconProvider::Folder));
  item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
  return item;
}

void FolderTreeView::Populate(QTreeWidgetItem* item) {
  if (item->data(0, PopulatedRole).toBool()) return;
  item->setData(0, PopulatedRole, true);
  const std::string path = ItemPath(item);
  std::vector<std::pair<QString, std::string>> folders;  // shown name, name bytes
  for (std::string& name : ListSubfolders(path)) {
    QString shown = ShownText(name);
    folders.emplace_back(std::move(shown), std::move(name));
  }
  QCollator collator;
  collator.setCaseSensitivity(Qt::CaseInsensitive);
  std::sort(folders.begin(), folders.end(), [&collator](const auto& a, const auto& b) {
    return collator.compare(a.first, b.first) < 0;
  });
  const std::string prefix = path.back() == '/' ? path : path + "/";
  for (const auto& [text, name] : folders) AddFolder(item, prefix + name, text);
  if (folders.empty()) item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
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

}  // namespace tarvex
