#pragma once
// The copy and delete commands of the list's row menu: they act on the selected rows' entries
// with the progress dialog, then refill the list without a rescan.

#include <QObject>

#include "app/progress/dialog_command_progress.h"
#include "core/fs/file_operations.h"

class QAction;

namespace tarvex {

class ListPage;
class MainState;
class MessageBoxes;
class TFMOption;
class TQvMessageBox;

class ListCommands : public QObject {
  Q_OBJECT

 public:
  // The commands act on the rows of page over state's PathList, between the roots of the scan,
  // log to log and show errors through boxes. files: the file operations to use, kept by the
  // caller; null means the real ones.
  ListCommands(MainState& state, TQvMessageBox& log, MessageBoxes& boxes, ListPage& page,
               TFMOption& dialog, FileOperations* files = nullptr);

  void PMMCopyClick(const QAction& sender);
  void PMMDelFileClick(const QAction& sender);

 Q_SIGNALS:
  // A menu command has returned, whether its loop ran or not.
  void CommandFinished();

 private:
  // The first and last selected grid rows (counted from 1); false when no row is selected.
  bool SelectedRows(int& first, int& last) const;
  template <typename Command, typename Info>
  void RunCommand(const Info& info);

  MainState& state_;
  MessageBoxes& boxes_;
  ListPage& page_;
  PosixFileOperations posixFiles_;
  FileOperations& files_;
  DialogCommandProgress progress_;
};

}  // namespace tarvex
