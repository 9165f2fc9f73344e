#pragma once
// The copy and delete commands of the list's row menu: they act on the selected rows' entries
// with the progress dialog, then refill the list without a rescan.

#include <QObject>

#include "app/progress/dialog_command_progress.h"
#include "core/fs/file_operations.h"

class QAction;

namespace tarvex {

class ListPage;
class TFMMain;
class TFMOption;

class ListCommands : public QObject {
  Q_OBJECT

 public:
  // files: the file operations to use, kept by the caller; null means the real ones.
  ListCommands(TFMMain& window, ListPage& page, TFMOption& dialog, FileOperations* files = nullptr);

  void PMMCopyClick(const QAction& sender);
  void PMMDelFileClick(const QAction& sender);

 private:
  // The first and last selected grid rows (counted from 1); false when no row is selected.
  bool SelectedRows(int& first, int& last) const;
  template <typename Command, typename Info>
  void RunCommand(const Info& info);

  TFMMain& window_;
  ListPage& page_;
  PosixFileOperations posixFiles_;
  FileOperations& files_;
  DialogCommandProgress progress_;
};

}  // namespace tarvex
