#pragma once
// The copy and delete commands of the list's row menu: they act on the chosen rows' entries with
// the progress dialog, then have the page refill the list without a rescan.

#include <QObject>

#include "app/progress/dialog_command_progress.h"

namespace tarvex {

class FileOperations;
class ListPage;
class MainState;
class MessageBoxes;
class ServiceBundle;
class TFMOption;
class TQvMessageBox;

class ListCommands : public QObject {
  Q_OBJECT

 public:
  // The commands act on state's PathList between the roots of the scan, change the files through
  // services, log to log, show the progress in dialog and have page refill its grid.
  ListCommands(MainState& state, TQvMessageBox& log, const ServiceBundle& services, ListPage& page,
               TFMOption& dialog);

  // Runs the row menu's item (its index in RowMenuTable) on the grid rows firstRow..lastRow,
  // counted from 1. An error is shown in a message box; CommandFinished follows in every case.
  void RunRowCommand(int item, int firstRow, int lastRow);

 Q_SIGNALS:
  // A menu command has returned, whether its loop ran or not.
  void CommandFinished();

 private:
  template <typename Command, typename Info>
  void RunCommand(const Info& info, int firstRow, int lastRow);
  // Asks, then takes back the last command that was not taken back, and has the list rescanned.
  void RunUndo();

  MainState& state_;
  MessageBoxes& boxes_;
  FileOperations& files_;
  ListPage& page_;
  DialogCommandProgress progress_;
};

}  // namespace tarvex
