#include "app/filter/filter_page.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>
#include <vector>

#include "app/shell/combo_mirror.h"
#include "app/shell/handler_guard.h"
#include "app/shell/japanese_fonts.h"
#include "app/shell/main_state.h"
#include "core/text/comma_text.h"

namespace tarvex {

namespace {

QLabel* NoteLabel(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  // Explicitly regular: the group boxes' bold caption font would otherwise pass down.
  QFont font = ProportionalJapaneseFont();
  font.setBold(false);
  label->setFont(font);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, QColor(0x00, 0x80, 0x00));
  label->setPalette(palette);
  return label;
}

void SetLines(QPlainTextEdit& memo, const std::string& commaText) {
  QStringList lines;
  for (const std::string& pattern : ReadCommaText(commaText)) {
    lines << QString::fromStdString(pattern);
  }
  memo.setPlainText(lines.join(QLatin1Char('\n')));
}

PatternList Lines(const QPlainTextEdit& memo) {
  std::vector<std::string> patterns;
  const QString text = memo.toPlainText();
  if (text.isEmpty()) return PatternList(std::move(patterns));
  for (const QString& line : text.split(QLatin1Char('\n'))) patterns.push_back(line.toStdString());
  return PatternList(std::move(patterns));
}

}  // namespace

FilterPage::FilterPage(MainState& state, MessageBoxes& boxes, QWidget* parent)
    : QWidget(parent), state_(state), boxes_(boxes) {
  setObjectName(QStringLiteral("FilterPage"));
  auto* top = new QHBoxLayout;
  auto* label9 = new QLabel(QStringLiteral("フィルタ名"), this);
  label9->setObjectName(QStringLiteral("Label9"));
  cbFilter_ = new QComboBox(this);
  cbFilter_->setObjectName(QStringLiteral("CBFilter"));
  cbFilter_->setFont(FixedJapaneseFont());
  cbFilter_->setMaxVisibleItems(20);
  top->addWidget(label9);
  top->addWidget(cbFilter_, 1);

  auto* groups = new QHBoxLayout;
  groups->addWidget(AddGroup(
      "GroupBox1", QStringLiteral("　表示しないファイル名　"),
      {QStringLiteral("フォルダ内で表示対象外とす"), QStringLiteral("るファイル名を指定します。")},
      QStringLiteral("＜優先順位（高）＞"), {"Label20", "Label21", "Label6"}, meHideExt_,
      "MEHideExt"));
  groups->addWidget(AddGroup(
      "GroupBox2", QStringLiteral("　選択するファイル名　"),
      {QStringLiteral("フォルダ内で表示対象となる"), QStringLiteral("ファイル名を指定します。")},
      QStringLiteral("＜優先順位（中）＞"), {"Label11", "Label12", "Label25"}, meSelectExt_,
      "MESelectExt"));
  groups->addWidget(
      AddGroup("GroupBox3", QStringLiteral("　無視するファイル名　"),
               {QStringLiteral("表示されていても、コピー対象"),
                QStringLiteral("外となるファイル名を指定しま"), QStringLiteral("す。(グレー表示)")},
               QStringLiteral("＜優先順位（低）＞"), {"Label17", "Label18", "Label19", "Label10"},
               meIgnoreExt_, "MEIgnoreExt"));

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addSpacing(12);
  layout->addLayout(groups, 1);
  auto* label22 = NoteLabel(QStringLiteral("ファイル名は１パターン＝１行で指定して下さい。　"
                                           "また、ワイルドカードでも指定できます。"),
                            this);
  label22->setObjectName(QStringLiteral("Label22"));
  layout->addWidget(label22);

  connect(cbFilter_, &QComboBox::activated, this, [this](int index) {
    RunGuarded(boxes_, [this, index] {
      state_.Settings.FilterNames.ItemIndex = index;
      CBFilterSelect();
    });
  });
}

QWidget* FilterPage::AddGroup(const char* name, const QString& caption, const QStringList& notes,
                              const QString& priority, const std::vector<const char*>& labelNames,
                              QPlainTextEdit*& memo, const char* memoName) {
  auto* group = new QGroupBox(caption, this);
  group->setObjectName(QLatin1String(name));
  QFont bold = group->font();
  bold.setBold(true);
  group->setFont(bold);
  auto* layout = new QVBoxLayout(group);
  std::vector<QLabel*> labels;
  for (const QString& note : notes) {
    labels.push_back(NoteLabel(note, group));
    layout->addWidget(labels.back());
  }
  auto* priorityLabel = NoteLabel(priority, group);
  priorityLabel->setAlignment(Qt::AlignHCenter);
  layout->addWidget(priorityLabel);
  labels.push_back(priorityLabel);
  // The notes, then the priority label.
  for (std::size_t i = 0; i < labels.size() && i < labelNames.size(); ++i)
    labels[i]->setObjectName(QLatin1String(labelNames[i]));
  memo = new QPlainTextEdit(group);
  memo->setObjectName(QLatin1String(memoName));
  QFont memoFont = FixedJapaneseFont();
  memoFont.setPixelSize(15);
  memoFont.setBold(false);
  memo->setFont(memoFont);
  memo->setLineWrapMode(QPlainTextEdit::NoWrap);
  memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memo->setAttribute(Qt::WA_InputMethodEnabled, false);
  layout->addWidget(memo, 1);
  return group;
}

void FilterPage::ShowFilterNames() { FillCombo(*cbFilter_, state_.Settings.FilterNames); }

void FilterPage::CBFilterSelect() {
  const Settings& settings = state_.Settings;
  const std::string name = SelectedComboText(*cbFilter_);
  SetLines(*meSelectExt_, settings.ExtSelectTable.Value(name));
  SetLines(*meIgnoreExt_, settings.ExtIgnoreTable.Value(name));
  SetLines(*meHideExt_, settings.ExtHideTable.Value(name));
}

FilterSet FilterPage::ActiveFilterSet() const {
  return FilterSet{SelectedComboText(*cbFilter_), Lines(*meHideExt_), Lines(*meSelectExt_),
                   Lines(*meIgnoreExt_)};
}

}  // namespace tarvex
