#include "app/help/help_page.h"

#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QUrl>
#include <QVBoxLayout>

#include "app/help/qv_help_text.h"
#include "app/services/desktop_services.h"
#include "app/widgets/handler_guard.h"
#include "app/widgets/japanese_fonts.h"

namespace tarvex {

namespace {

constexpr int PageMargin = 8;

bool IsBlankOrControl(QChar c) {
  return c.unicode() <= 0x20 || c.isSpace() || c.category() == QChar::Other_Control;
}

QString TrimmedAddress(const QString& caption) {
  qsizetype begin = 0;
  qsizetype end = caption.size();
  while (begin < end && IsBlankOrControl(caption[begin])) ++begin;
  while (end > begin && IsBlankOrControl(caption[end - 1])) --end;
  return caption.mid(begin, end - begin);
}

}  // namespace

HelpPage::HelpPage(DesktopServices& desktop, MessageBoxes& boxes, QWidget* parent,
                   const QString& programPath)
    : QWidget(parent), desktop_(desktop), boxes_(boxes) {
  setObjectName(QStringLiteral("HelpPage"));
  label7_ = new QLabel(QStringLiteral("ホームページ："), this);
  label7_->setObjectName(QStringLiteral("Label7"));

  lbUrl_ = new QLabel(QStringLiteral("Support URL"), this);
  lbUrl_->setObjectName(QStringLiteral("LBURL"));
  QFont linkFont = ProportionalJapaneseFont();
  linkFont.setItalic(true);
  linkFont.setUnderline(true);
  lbUrl_->setFont(linkFont);
  QPalette linkPalette = lbUrl_->palette();
  linkPalette.setColor(QPalette::WindowText, QColor(0x80, 0x00, 0x80));
  lbUrl_->setPalette(linkPalette);
  lbUrl_->setCursor(Qt::PointingHandCursor);
  lbUrl_->setTextFormat(Qt::PlainText);
  lbUrl_->installEventFilter(this);

  helpText_ = new TQvHelpText(this, programPath);
  helpText_->setObjectName(QStringLiteral("QvHelpText1"));

  auto* linkRow = new QHBoxLayout;
  linkRow->setContentsMargins(0, 0, 0, 0);
  linkRow->addWidget(label7_);
  linkRow->addWidget(lbUrl_);
  linkRow->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(PageMargin, PageMargin, PageMargin, PageMargin);
  layout->setSpacing(PageMargin);
  layout->addLayout(linkRow);
  layout->addWidget(helpText_, 1);
}

QString HelpPage::GuideAddress() const {
  return QUrl::fromLocalFile(
             QFile::decodeName(QByteArray::fromStdString(helpText_->HelpFilePath())))
      .toString();
}

void HelpPage::ShowSupportAddress(const std::string& address) {
  const QString shown = address.empty() ? GuideAddress() : QString::fromStdString(address);
  lbUrl_->setText(shown + QLatin1Char(' '));
}

void HelpPage::LBURLClick() { desktop_.OpenUrl(TrimmedAddress(lbUrl_->text())); }

bool HelpPage::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lbUrl_ && event->type() == QEvent::MouseButtonRelease) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    // A click: the button goes up over the link it went down on.
    if (mouse->button() == Qt::LeftButton && lbUrl_->rect().contains(mouse->position().toPoint())) {
      RunGuarded(boxes_, [this] { LBURLClick(); });
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace tarvex
