#pragma once
// The main window: six tabs, the shared state and the message log.
//
// Later tabs put their widgets on their page (TSFolder() ... TSHelp()) in the constructor, reach
// the shared state through State(), log through MsgBox() and show message boxes through Boxes().
// Every handler body runs through RunGuarded (handler_guard.h).

#include <QMainWindow>
#include <QString>
#include <memory>

#include "app/main_state.h"
#include "app/message_boxes.h"

class QTabWidget;

namespace tarvex {

class ListPage;
class TFMOption;
class TQvMessageBox;

class TFMMain : public QMainWindow {
  Q_OBJECT

 public:
  // settingsPath: the settings file to use; empty means the one beside the program. boxes: the
  // message boxes to use, kept by the caller; null means real ones.
  explicit TFMMain(QString settingsPath = {}, MessageBoxes* boxes = nullptr,
                   QWidget* parent = nullptr);
  ~TFMMain() override;

  MainState& State() { return state_; }
  TQvMessageBox& MsgBox() { return *msgBox_; }
  MessageBoxes& Boxes() { return *boxes_; }

  QTabWidget* PageControl1() const { return pageControl1_; }
  QWidget* TSFolder() const { return tsFolder_; }
  QWidget* TSList() const { return tsList_; }
  QWidget* TSFilter() const { return tsFilter_; }
  QWidget* TSCompare() const { return tsCompare_; }
  QWidget* TSMessage() const { return tsMessage_; }
  QWidget* TSHelp() const { return tsHelp_; }
  ListPage* ListTab() const { return listPage_; }

  // The progress dialog is made after the window (see main.cpp) and handed over here.
  void SetProgressDialog(TFMOption* dialog) { fmOption_ = dialog; }
  TFMOption* FMOption() const { return fmOption_; }

  // Saves the settings and releases the shared lists. Never refuses the close. Runs once: the
  // drive watcher calls it before a restart, and a later close finds nothing left to do.
  bool FormCloseQuery();

  // Runs when the active tab changes.
  void RefreshActivePage();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildPages();
  QWidget* AddPage(const char* name, const QString& caption);
  void FormCreate();
  void FormShow();
  void FormClose();
  void PageControl1Change(int index);
  WindowRect CurrentWindowRect() const;
  void ApplyWindowRect(const WindowRect& rect);

  MainState state_;
  std::unique_ptr<MessageBoxes> ownBoxes_;
  MessageBoxes* boxes_ = nullptr;
  QString requestedSettingsPath_;
  bool shown_ = false;
  bool closeQueried_ = false;

  QTabWidget* pageControl1_ = nullptr;
  QWidget* tsFolder_ = nullptr;
  QWidget* tsList_ = nullptr;
  QWidget* tsFilter_ = nullptr;
  QWidget* tsCompare_ = nullptr;
  QWidget* tsMessage_ = nullptr;
  QWidget* tsHelp_ = nullptr;
  TQvMessageBox* msgBox_ = nullptr;
  ListPage* listPage_ = nullptr;
  TFMOption* fmOption_ = nullptr;
};

}  // namespace tarvex
