#include "app/help/help_page.h"

#include <stdexcept>

#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QUrl>
#include <QVBoxLayout>

#include "app/help/qv_help_text.h"
#include "app/services/desktop_services.h"
#include "app/services/services.h"
#include "app/widgets/handler_guard.h"
#include "app/widgets/japanese_fonts.h"
#include "app/widgets/named_widget.h"
#include "app/widgets/readable_colour.h"

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

HelpPage::HelpPage(const ServiceBundle& services, QWidget* parent, const QString& programPath)
    : QWidget(parent), desktop_(services.Desktop()), boxes_(services.Boxes()) {
  setObjectName(QStringLiteral("HelpPage"));
  label7_ = Named<QLabel>("Label7", QStringLiteral("ホームページ："), this);

  lbUrl_ = Named<QLabel>("LBURL", QStringLiteral("Support URL"), this);
  QFont linkFont = ProportionalJapaneseFont();
  linkFont.setItalic(true);
  linkFont.setUnderline(true);
  lbUrl_->setFont(linkFont);
  SetReadableTextColour(*lbUrl_, QColor(0x80, 0x00, 0x80));
  lbUrl_->setCursor(Qt::PointingHandCursor);
  lbUrl_->setTextFormat(Qt::PlainText);
  lbUrl_->installEventFilter(this);

  helpText_ = Named<TQvHelpText>("QvHelpText1", this, programPath);

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

void HelpPage::LBURLClick() {
  try {
    desktop_.Open(TrimmedAddress(lbUrl_->text()).toStdString());
  } catch (const std::runtime_error&) {
    // The link's outcome is not reported: an address that nothing opens does nothing.
  }
}

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
