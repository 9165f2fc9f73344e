#pragma once
// The help tab: the support link and, below it, the help text.

#include <QString>
#include <QWidget>
#include <string>

class QLabel;

namespace tarvex {

class DesktopServices;
class MessageBoxes;
class ServiceBundle;
class TQvHelpText;

class HelpPage : public QWidget {
  Q_OBJECT

 public:
  // programPath: the program whose help file is shown; empty: this program.
  HelpPage(const ServiceBundle& services, QWidget* parent = nullptr,
           const QString& programPath = {});

  QLabel* Label7() const { return label7_; }
  QLabel* LBURL() const { return lbUrl_; }
  TQvHelpText* QvHelpText1() const { return helpText_; }

  // The link's caption: the address followed by one blank. An empty address is the user guide
  // that the viewer shows, as a file address, so the link always opens something real.
  void ShowSupportAddress(const std::string& address);
  QString GuideAddress() const;

  // Opens the caption, without the blanks and control characters around it, with the desktop's
  // default handler.
  void LBURLClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  DesktopServices& desktop_;
  MessageBoxes& boxes_;
  QLabel* label7_ = nullptr;
  QLabel* lbUrl_ = nullptr;
  TQvHelpText* helpText_ = nullptr;
};

}  // namespace tarvex
