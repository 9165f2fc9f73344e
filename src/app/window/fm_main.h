#pragma once
// The main window: six tabs, the shared state, the message log and the world's services. It owns
// the pages, hands each what it needs (the state, the log, the services, the filter names) and
// wires their signals; the behaviour lives in the pages and the engine. Every handler body runs
// through RunGuarded (handler_guard.h).

#include <QMainWindow>
#include <QString>
#include <memory>
#include <string>

#include "app/services/services.h"
#include "core/session/main_state.h"

class QTabWidget;

namespace tarvex {

class ComparePage;
class DriveWatcher;
class FilterNamesModel;
class FilterPage;
class FolderPage;
class HelpPage;
class ListCommands;
class ListPage;
class TFMOption;
class TQvMessageBox;

class TFMMain : public QMainWindow {
  Q_OBJECT

 public:
  // settingsPath: the settings file to use; empty means the one beside the program. services:
  // what the caller injects (kept by the caller); the rest are the real ones.
  explicit TFMMain(QString settingsPath = {}, const Services& services = {},
                   QWidget* parent = nullptr);
  ~TFMMain() override;

  MainState& State() { return state_; }
  TQvMessageBox& MsgBox() { return *msgBox_; }
  MessageBoxes& Boxes() { return services_.Boxes(); }

  QTabWidget* PageControl1() const { return pageControl1_; }
  QWidget* TSFolder() const { return tsFolder_; }
  QWidget* TSList() const { return tsList_; }
  QWidget* TSFilter() const { return tsFilter_; }
  QWidget* TSCompare() const { return tsCompare_; }
  QWidget* TSMessage() const { return tsMessage_; }
  QWidget* TSHelp() const { return tsHelp_; }
  ListPage* ListTab() const { return listPage_; }
  ComparePage* CompareTab() const { return comparePage_; }

  // The progress dialog is made after the window (see main.cpp) and handed over here.
  void SetProgressDialog(TFMOption* dialog);
  TFMOption* FMOption() const { return fmOption_; }
  // The copy and delete commands; they exist once the progress dialog is handed over.
  ListCommands* Commands() const { return listCommands_; }

  // Saves the settings and releases the shared lists. Never refuses the close. Runs once: the
  // drive watcher calls it before a restart, and a later close finds nothing left to do.
  bool FormCloseQuery();

  FolderPage& Folders() { return *folderPage_; }
  FilterPage& Filters() { return *filterPage_; }
  HelpPage& Help() { return *helpPage_; }
  DriveWatcher& DriveWatch() { return *driveWatcher_; }

  // Brings the active tab up to date: on the list tab the current pair is recorded with its
  // filter set and both folders are scanned. Only while this window is the active one.
  void RefreshActivePage();
  // The filter-set names and selection of CBFilter into both filter choice boxes.
  void SyncFilterChoices();
  FilterNamesModel& FilterNames() { return *filterNames_; }
  // Selects the filter set that the pair was last used with, in every filter combo.
  void SelectPairFilterSet(const std::string& pair);
  void CBFilterChoice2Change(int index);
  void CBFilterChoiceChange(int index);
  // Scans the two folders of the folder tab with the filter set of the memos.
  void UpdatePathList();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildPages();
  QWidget* AddPage(const char* name, const QString& caption);
  void FormCreate();
  void FormShow();
  void FormClose();
  void PageControl1Change(int index);
  // Closes the window once a close asked for while the list was held can be done.
  void CloseIfAskedMeanwhile();
  void SelectFilterIndex(int index);
  WindowRect CurrentWindowRect() const;
  void ApplyWindowRect(const WindowRect& rect);

  MainState state_;
  ServiceBundle services_;
  FilterNamesModel* filterNames_ = nullptr;
  QString requestedSettingsPath_;
  bool shown_ = false;
  bool closeQueried_ = false;
  bool closeAfterCommand_ = false;

  QTabWidget* pageControl1_ = nullptr;
  QWidget* tsFolder_ = nullptr;
  QWidget* tsList_ = nullptr;
  QWidget* tsFilter_ = nullptr;
  QWidget* tsCompare_ = nullptr;
  QWidget* tsMessage_ = nullptr;
  QWidget* tsHelp_ = nullptr;
  TQvMessageBox* msgBox_ = nullptr;
  FolderPage* folderPage_ = nullptr;
  FilterPage* filterPage_ = nullptr;
  ListPage* listPage_ = nullptr;
  ComparePage* comparePage_ = nullptr;
  HelpPage* helpPage_ = nullptr;
  DriveWatcher* driveWatcher_ = nullptr;
  TFMOption* fmOption_ = nullptr;
  ListCommands* listCommands_ = nullptr;
};

}  // namespace tarvex
