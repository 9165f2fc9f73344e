#include "app/filter/filter_page.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>
#include <vector>

#include "app/log/qv_message_box.h"
#include "app/services/services.h"
#include "app/widgets/app_identity.h"
#include "app/widgets/combo_mirror.h"
#include "app/widgets/handler_guard.h"
#include "app/widgets/japanese_fonts.h"
#include "app/widgets/named_widget.h"
#include "app/widgets/readable_colour.h"
#include "core/session/main_state.h"
#include "core/text/comma_text.h"
#include "core/text/line_split.h"

namespace tarvex {

namespace {

constexpr int NoteLines = 3;  // the notes of the longest group
const QColor NoteColour(0x00, 0x80, 0x00);

QLabel* NoteLabel(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  // Explicitly regular: the group boxes' bold caption font would otherwise pass down.
  QFont font = ProportionalJapaneseFont();
  font.setBold(false);
  label->setFont(font);
  SetReadableTextColour(*label, NoteColour);
  return label;
}

void SetLines(QPlainTextEdit& memo, const std::vector<std::string>& patterns) {
  QStringList lines;
  for (const std::string& pattern : patterns) lines << QString::fromStdString(pattern);
  memo.setPlainText(lines.join(QLatin1Char('\n')));
}

void SetLines(QPlainTextEdit& memo, const std::string& commaText) {
  SetLines(memo, ReadCommaText(commaText));
}

// A memo's lines as a list of lines reads them: a line break at the very end starts no line.
std::vector<std::string> Lines(const QPlainTextEdit& memo) {
  const std::string text = memo.toPlainText().toStdString();
  std::vector<std::string> lines;
  for (std::string_view line : SplitLines(text)) lines.emplace_back(line);
  return lines;
}

// Across windows too: the combo's drop-down list is a window of its own.
bool Contains(const QWidget* container, const QWidget* widget) {
  for (const QWidget* w = widget; w != nullptr; w = w->parentWidget())
    if (w == container) return true;
  return false;
}

QPushButton* Button(const char* name, const QString& caption, int minimumWidth, QWidget* parent) {
  auto* button = Named<QPushButton>(name, caption, parent);
  button->setMinimumWidth(minimumWidth);
  return button;
}

}  // namespace

FilterPage::FilterPage(MainState& state, TQvMessageBox& log, const ServiceBundle& services,
                       QWidget* parent)
    : QWidget(parent),
      state_(state),
      log_(log),
      boxes_(services.Boxes()),
      editor_(state.Settings,
              [this](const std::string& line) { log_.AddLine(QString::fromStdString(line)); }) {
  setObjectName(QStringLiteral("FilterPage"));
  auto* top = new QHBoxLayout;
  auto* label9 = Named<QLabel>("Label9", QStringLiteral("フィルタ名"), this);
  cbFilter_ = Named<QComboBox>("CBFilter", this);
  cbFilter_->setFont(FixedJapaneseFont());
  cbFilter_->setMaxVisibleItems(20);
  cbFilter_->setInsertPolicy(QComboBox::NoInsert);
  btFilterAdd_ = Button("BTFilterAdd", QStringLiteral("追加"), 41, this);
  btReName_ = Button("BTReName", QStringLiteral("名前変更"), 60, this);
  btFilterDel_ = Button("BTFilterDel", QStringLiteral("削除"), 41, this);
  top->addWidget(label9);
  top->addWidget(cbFilter_, 1);
  top->addWidget(btFilterAdd_);
  top->addWidget(btReName_);
  top->addWidget(btFilterDel_);

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

  ConnectGuarded(cbFilter_, &QComboBox::activated, this, boxes_, [this](int index) {
    state_.Settings.FilterNames.ItemIndex = index;
    CBFilterSelect();
  });
  const std::pair<QPushButton*, void (FilterPage::*)()> buttons[] = {
      {btFilterAdd_, &FilterPage::BTFilterAddClick},
      {btReName_, &FilterPage::BTReNameClick},
      {btFilterDel_, &FilterPage::BTFilterDelClick},
  };
  for (const auto& [button, handler] : buttons) {
    ConnectGuarded(button, &QPushButton::clicked, this, boxes_,
                   [this, handler = handler] { (this->*handler)(); });
  }
  ConnectGuarded(qApp, &QApplication::focusChanged, this, boxes_,
                 [this](QWidget* old, QWidget* now) { FocusChanged(old, now); });
}

FilterPage::~FilterPage() = default;

void FilterPage::FocusChanged(QWidget* old, QWidget* now) {
  // Another program, a message box or a drop-down list taking the focus is no exit: the user
  // comes back to where they were.
  if (now == nullptr ? QApplication::activeWindow() != window() : now->window() != window()) return;
  if (Contains(cbFilter_, old) && !Contains(cbFilter_, now)) CBFilterExit();
  if (old == meHideExt_ && now != meHideExt_) MEHideExtExit();
  if (old == meSelectExt_ && now != meSelectExt_) MESelectExtExit();
  if (old == meIgnoreExt_ && now != meIgnoreExt_) MEIgnoreExtExit();
  if (Contains(this, old) && !Contains(this, now)) Q_EMIT TSFilterExit();
}

void FilterPage::SetEditable(bool editable) {
  if (cbFilter_->isEditable() == editable) return;
  const QSignalBlocker block(cbFilter_);
  cbFilter_->setEditable(editable);
  if (editable) {
    cbFilter_->setCompleter(nullptr);
    cbFilter_->lineEdit()->setMaxLength(MaxNameLength);
  }
}

void FilterPage::ShowLists(const FilterLists& lists) {
  SetLines(*meHideExt_, lists.Hide);
  SetLines(*meSelectExt_, lists.Select);
  SetLines(*meIgnoreExt_, lists.Ignore);
}

std::string FilterPage::ComboText() const {
  if (cbFilter_->isEditable()) return cbFilter_->lineEdit()->text().toStdString();
  return SelectedComboText(*cbFilter_);
}

void FilterPage::TSFilterShow() {
  cbFilter_->setFocus();
  CBFilterSelect();
  editor_.TabShown();
}

void FilterPage::BTFilterAddClick() {
  const bool newSet = editor_.BeginAdd();
  SetEditable(true);
  {
    const QSignalBlocker block(cbFilter_);
    cbFilter_->setCurrentIndex(-1);
  }
  cbFilter_->lineEdit()->clear();
  cbFilter_->setFocus();
  if (newSet) ShowLists(NewFilterSetLists());
}

void FilterPage::BTReNameClick() {
  const QString kept = cbFilter_->currentText();
  editor_.BeginRename(cbFilter_->currentIndex());
  BTFilterAddClick();
  cbFilter_->lineEdit()->setText(kept);
}

void FilterPage::BTFilterDelClick() {
  const int index = cbFilter_->currentIndex();
  if (index < 0) return;
  if (!boxes_.OkCancel(ApplicationTitle(),
                       cbFilter_->currentText() + QStringLiteral("を削除してもよろしいですか？")))
    return;
  editor_.Delete(index);
  ShowFilterNames();
  CBFilterSelect();
}

void FilterPage::CBFilterExit() {
  const FilterEditor::CommitResult result = editor_.Commit(ComboText());
  SetEditable(false);
  ShowFilterNames();
  if (result.Appended) Q_EMIT FilterNameAppended(*result.Appended);
  CBFilterSelect();
  if (result.Refusal) boxes_.Information(ApplicationTitle(), QString::fromUtf8(*result.Refusal));
}

void FilterPage::MEHideExtExit() {
  if (editor_.StoreHide(ComboText(), Lines(*meHideExt_))) return;
  // The focus may be leaving with a change of tab that is not complete yet: the message and the
  // way back come once it is.
  holdingHideMemo_ = true;
  QTimer::singleShot(0, this, [this] {
    RunGuarded(boxes_, [this] {
      boxes_.Information(ApplicationTitle(), QString::fromUtf8(HideEveryFileRefusalText));
      Q_EMIT ActivationRequested();
      meHideExt_->setFocus();
      holdingHideMemo_ = false;
    });
  });
}

void FilterPage::MESelectExtExit() {
  std::vector<std::string> lines = Lines(*meSelectExt_);
  const std::vector<std::string> typed = lines;
  editor_.StoreSelect(ComboText(), lines);
  if (lines != typed) SetLines(*meSelectExt_, lines);
}

void FilterPage::MEIgnoreExtExit() { editor_.StoreIgnore(ComboText(), Lines(*meIgnoreExt_)); }

QWidget* FilterPage::AddGroup(const char* name, const QString& caption, const QStringList& notes,
                              const QString& priority, const std::vector<const char*>& labelNames,
                              QPlainTextEdit*& memo, const char* memoName) {
  auto* group = Named<QGroupBox>(name, caption, this);
  QFont bold = group->font();
  bold.setBold(true);
  group->setFont(bold);
  auto* layout = new QVBoxLayout(group);
  std::vector<QLabel*> labels;
  for (const QString& note : notes) {
    labels.push_back(NoteLabel(note, group));
    layout->addWidget(labels.back());
  }
  // Room for the longest note in every group, so the three priorities and memos line up.
  const int missing = NoteLines - static_cast<int>(notes.size());
  if (missing > 0 && !labels.empty())
    layout->addSpacing(missing * (labels.front()->sizeHint().height() + layout->spacing()));
  auto* priorityLabel = NoteLabel(priority, group);
  priorityLabel->setAlignment(Qt::AlignHCenter);
  layout->addWidget(priorityLabel);
  labels.push_back(priorityLabel);
  // The notes, then the priority label.
  for (std::size_t i = 0; i < labels.size() && i < labelNames.size(); ++i)
    labels[i]->setObjectName(QLatin1String(labelNames[i]));
  memo = Named<QPlainTextEdit>(memoName, group);
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
  return FilterSet{SelectedComboText(*cbFilter_), PatternList(Lines(*meHideExt_)),
                   PatternList(Lines(*meSelectExt_)), PatternList(Lines(*meIgnoreExt_))};
}

}  // namespace tarvex
