#include "app/progress/fm_option.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>
#include <string>
#include <utility>

#include "app/widgets/app_identity.h"
#include "app/widgets/fixed_colours.h"
#include "app/widgets/japanese_fonts.h"
#include "app/widgets/named_widget.h"

namespace tarvex {

namespace {

// The background of the labels: the classic inactive caption text colour.
const QColor LabelBackground(0xD8, 0xE4, 0xF8);

QLabel* MakeLabel(const char* name, const QString& text, int x, int y, int pixelSize,
                  QWidget* parent) {
  auto* label = Named<QLabel>(name, text, parent);
  QFont font = ProportionalJapaneseFont();
  font.setPixelSize(pixelSize);
  label->setFont(font);
  label->setAutoFillBackground(true);
  SetFixedBackground(*label, LabelBackground);
  label->setGeometry(x, y, 462 - x - 8, pixelSize + 6);
  // A label whose size cannot change asks the dialog for no new layout when its text changes:
  // a copy sets the file lines once per file.
  label->setFixedSize(label->size());
  return label;
}

void SetBold(QLabel& label, bool bold) {
  if (label.font().bold() == bold) return;
  QFont font = label.font();
  font.setBold(bold);
  label.setFont(font);
}

}  // namespace

TFMOption::TFMOption(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FMOption"));
  setWindowTitle(ApplicationTitle());
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint |
                 Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setFont(ProportionalJapaneseFont());
  setFixedSize(462, 151);

  lbCopying_ = MakeLabel("LBCopying", QStringLiteral("コピーしています。"), 25, 8, 15, this);
  lbCopying1_ = MakeLabel("LBCopying1", QStringLiteral("ラベル１"), 25, 38, 13, this);
  lbCopying2_ = MakeLabel("LBCopying2", QStringLiteral("ラベル２"), 25, 58, 13, this);
  lbCopying3_ = MakeLabel("LBCopying3", QStringLiteral("ラベル３"), 24, 78, 13, this);

  pbCopying_ = Named<QProgressBar>("PBCopying", this);
  pbCopying_->setGeometry(24, 112, 305, 25);
  pbCopying_->setRange(0, 100);
  pbCopying_->setTextVisible(false);

  btOK_ = Named<QPushButton>("BTOK", QStringLiteral("ＯＫ"), this);
  btOK_->setGeometry(344, 112, 50, 25);
  // Return presses ＯＫ when it is enabled; a focused 中止 takes Return itself, so Return on
  // 中止 never accepts the delete confirmation.
  btOK_->setDefault(true);
  btCancel_ = Named<QPushButton>("BTCancel", QStringLiteral("中止"), this);
  btCancel_->setGeometry(400, 112, 50, 25);

  lbNames_ = MakeLabel("LBNames", QString(), 24, 104, 13, this);
  lbNames_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  lbNames_->hide();

  connect(btOK_, &QPushButton::clicked, this, &TFMOption::BTOKClick);
  connect(btCancel_, &QPushButton::clicked, this, &TFMOption::BTCancelClick);
}

QLabel* TFMOption::Label(ProgressLine line) const {
  switch (line) {
    case ProgressLine::Line1:
      return lbCopying1_;
    case ProgressLine::Line2:
      return lbCopying2_;
    case ProgressLine::Line3:
      return lbCopying3_;
  }
  return lbCopying1_;
}

QRegion TFMOption::Apply(const ProgressDialogState& state) {
  const std::optional<ProgressDialogState> was = std::exchange(applied_, state);
  const auto differs = [&](auto member) { return !was || (*was).*member != state.*member; };
  using S = ProgressDialogState;
  QRegion changed;
  if (differs(&S::Header) || differs(&S::HeaderGrey)) {
    lbCopying_->setText(QString::fromStdString(state.Header));
    QPalette palette = lbCopying_->palette();
    palette.setColor(QPalette::WindowText,
                     state.HeaderGrey ? QColor(0x66, 0x66, 0x66) : FixedTextColour());
    lbCopying_->setPalette(palette);
    changed += lbCopying_->geometry();
  }
  if (differs(&S::Line1)) {
    lbCopying1_->setText(QString::fromStdString(state.Line1));
    changed += lbCopying1_->geometry();
  }
  if (differs(&S::Line2) || differs(&S::Line2Bold)) {
    lbCopying2_->setText(QString::fromStdString(state.Line2));
    SetBold(*lbCopying2_, state.Line2Bold);
    changed += lbCopying2_->geometry();
  }
  if (differs(&S::Line3) || differs(&S::Line3Bold)) {
    lbCopying3_->setText(QString::fromStdString(state.Line3));
    SetBold(*lbCopying3_, state.Line3Bold);
    changed += lbCopying3_->geometry();
  }
  if (differs(&S::OkEnabled)) {
    btOK_->setEnabled(state.OkEnabled);
    changed += btOK_->geometry();
  }
  if (differs(&S::CancelEnabled)) {
    btCancel_->setEnabled(state.CancelEnabled);
    changed += btCancel_->geometry();
  }
  if (differs(&S::BarVisible) || differs(&S::BarMaximum) || differs(&S::BarPosition)) {
    pbCopying_->setVisible(state.BarVisible);
    pbCopying_->setRange(0, state.BarMaximum);
    pbCopying_->setValue(state.BarPosition);
  }
  if (differs(&S::Names)) {
    // The list moves the buttons and the bar and sizes the dialog: all of it looks different.
    ShowNames(state.Names);
    changed += rect();
  }
  return changed;
}

void TFMOption::ShowNames(const std::string& names) {
  // The list sits between the three lines and the buttons, which move down to make room.
  constexpr int ListTop = 104;
  constexpr int ButtonTop = 112;
  constexpr int ButtonGap = 8;
  constexpr int DialogHeight = 151;
  int extra = 0;
  lbNames_->setText(QString::fromStdString(names));
  lbNames_->setVisible(!names.empty());
  if (!names.empty()) {
    const int lines = static_cast<int>(std::count(names.begin(), names.end(), '\n')) + 1;
    const int height = lines * lbNames_->fontMetrics().lineSpacing() + 6;
    lbNames_->setFixedHeight(height);
    lbNames_->move(lbNames_->x(), ListTop);
    extra = ListTop + height + ButtonGap - ButtonTop;
  }
  for (QWidget* widget : {static_cast<QWidget*>(pbCopying_), static_cast<QWidget*>(btOK_),
                          static_cast<QWidget*>(btCancel_)})
    widget->move(widget->x(), ButtonTop + extra);
  setFixedSize(width(), DialogHeight + extra);
}

void TFMOption::reject() {
  const bool commandRuns = !isModal() && btCancel_->isEnabled();
  if (commandRuns) {
    BTCancelClick();
    return;
  }
  QDialog::reject();
}

void TFMOption::BTOKClick() {
  // In the modal confirmation ＯＫ ends it with "accepted"; otherwise it hides the dialog.
  accept();
}

void TFMOption::BTCancelClick() {
  Q_EMIT CancelRequested();
  // Ends a modal confirmation with "rejected"; a running loop's dialog stays on screen.
  if (isModal()) reject();
}

}  // namespace tarvex
