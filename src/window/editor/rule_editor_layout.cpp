// Builds the editor's controls at their design positions (twips).
#include <QColor>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <initializer_list>

#include "rules/move_rule.h"
#include "window/editor/choice_entries.h"
#include "window/editor/rule_editor.h"
#include "window/elided_label.h"
#include "window/list_label.h"
#include "window/twips.h"

namespace veskora {

namespace {

constexpr int kInputHeight = 300;
constexpr int kButtonHeight = 255;
constexpr int kCaptionLeft = 120;
constexpr int kCaptionTop = 200;
// Between an input and the caption text that follows it.
constexpr int kCaptionGap = 30;

constexpr int kPanelLeft = 2760;
constexpr int kPanelWidth = 5055;
constexpr int kPanelHeight = 735;
// Design tops of Frame2(0)..Frame2(6); a panel moves to the front top when its
// kind is chosen.
constexpr int kPanelTops[] = {240, 2760, 3480, 4200, 4920, 5640, 6360};
constexpr int kTimeListLefts[] = {1080, 1800, 2520, 3240};
constexpr int kTimeListWidth = 615;

void SetPanelColour(QWidget& widget) {
  QPalette palette = widget.palette();
  palette.setColor(QPalette::Window, QColor(224, 224, 224));
  widget.setPalette(palette);
}

QComboBox* MakeList(QWidget& parent, const QString& name, const QStringList& entries, int left, int top, int width) {
  auto* list = new QComboBox(&parent);
  list->setObjectName(name);
  list->addItems(entries);
  list->setCurrentIndex(-1);
  PlaceInTwips(*list, left, top, width, kInputHeight);
  return list;
}

QLineEdit* MakeTextBox(QWidget& parent, const QString& name, int left, int top, int width) {
  auto* box = new QLineEdit(&parent);
  box->setObjectName(name);
  PlaceInTwips(*box, left, top, width, kInputHeight);
  return box;
}

QPushButton* MakeButton(QWidget& parent, const QString& name, const QString& caption, int left, int top, int width) {
  auto* button = new QPushButton(caption, &parent);
  button->setObjectName(name);
  // Enter presses the focused button, as on every desktop; outside a dialog
  // Qt leaves that to buttons that ask for it.
  button->setAutoDefault(true);
  PlaceInTwips(*button, left, top, width, kButtonHeight);
  return button;
}

QRadioButton* MakeOption(QWidget& parent, const QString& name, const QString& caption, int left, int top, int width) {
  auto* option = new QRadioButton(caption, &parent);
  option->setObjectName(name);
  PlaceInTwips(*option, left, top, width, kButtonHeight);
  return option;
}

QLabel* MakeText(QWidget& parent, const QString& text, int left, int top) {
  auto* label = new QLabel(text, &parent);
  label->setTextFormat(Qt::PlainText);
  label->adjustSize();
  MoveInTwips(*label, left, top);
  return label;
}

// A panel's caption is laid out in pieces around its inputs rather than as one
// text padded with blanks, which would line up only for one font.
void CaptionAfter(QWidget& panel, const QString& text, const QWidget& input) {
  QLabel* label = MakeText(panel, text, kCaptionLeft, kCaptionTop);
  label->move(input.geometry().right() + 1 + TwipsScale(*label).X(kCaptionGap), label->y());
}

// The design's gaps suit one font; where a caption runs wider, the inputs after
// it move right rather than cover it.
void KeepClearOf(const QLabel& caption, std::initializer_list<QWidget*> inputs) {
  const int clear = caption.geometry().right() + 1 + TwipsScale(caption).X(kCaptionGap);
  const int shift = clear - (*inputs.begin())->x();
  if (shift <= 0) return;
  for (QWidget* input : inputs) input->move(input->x() + shift, input->y());
}

QComboBox* BuildSizePanel(QFrame& panel, const QString& listName, const QString& ending) {
  const QLabel* caption = MakeText(panel, QStringLiteral("ファイルサイズが"), kCaptionLeft, kCaptionTop);
  QComboBox* list = MakeList(panel, listName, SizeEntries(), 1440, 120, 1095);
  KeepClearOf(*caption, {list});
  CaptionAfter(panel, ending, *list);
  return list;
}

// Month, day, hour and minute lists, in that order.
std::array<QComboBox*, 4> BuildTimePanel(QFrame& panel, int firstListNumber, const QString& ending) {
  const QStringList entries[] = {TwoDigitEntries(1, 12), TwoDigitEntries(1, 31), TwoDigitEntries(0, 23),
                                 TwoDigitEntries(0, 59)};
  const QLabel* caption = MakeText(panel, QStringLiteral("作成時刻が"), kCaptionLeft, kCaptionTop);
  std::array<QComboBox*, 4> lists{};
  for (std::size_t i = 0; i < lists.size(); ++i) {
    const QString name = QStringLiteral("Combo%1").arg(firstListNumber + static_cast<int>(i));
    lists[i] = MakeList(panel, name, entries[i], kTimeListLefts[i], 120, kTimeListWidth);
  }
  KeepClearOf(*caption, {lists[0], lists[1], lists[2], lists[3]});
  CaptionAfter(panel, QStringLiteral("/"), *lists[0]);
  CaptionAfter(panel, QStringLiteral(":"), *lists[2]);
  CaptionAfter(panel, ending, *lists[3]);
  return lists;
}

}  // namespace

void RuleEditor::BuildControls() {
  SetPanelColour(*this);
  setAutoFillBackground(true);
  // The window's layout gives the real width; the height is always 1800.
  resize(TwipsScale(*this).X(7890), TwipsScale(*this).Y(1800));

  Combo1 = MakeList(*this, QStringLiteral("Combo1"), KindEntries(), 120, 360, 2535);
  // Under the kind, left of the condition panel.
  editorMatches = new ListLabel(QStringLiteral("editorMatches"), this);
  MoveInTwips(*editorMatches, 120, 720);
  BuildConditionPanels();
  Option1 = MakeOption(*this, QStringLiteral("Option1"), QStringLiteral("移動する"), 120, 1080, 1095);
  Option1->setChecked(true);
  Command1 = MakeButton(*this, QStringLiteral("Command1"), QStringLiteral("移動先フォルダ"), 1200, 1080, 1455);
  // The window's layout gives it the width up to the panel's right edge.
  Label1 = new ElidedLabel(QStringLiteral("未定義"), Qt::ElideMiddle, this);
  Label1->setObjectName(QStringLiteral("Label1"));
  MoveInTwips(*Label1, 2760, 1125);
  Option2 = MakeOption(*this, QStringLiteral("Option2"), QStringLiteral("移動を禁止する"), 120, 1440, 1575);
  Command4 = MakeButton(*this, QStringLiteral("Command4"), QStringLiteral("キャンセル"), 6000, 1440, 1095);
  Command3 = MakeButton(*this, QStringLiteral("Command3"), QString(), 7200, 1440, 1215);
}

void RuleEditor::BuildConditionPanels() {
  for (std::size_t i = 0; i < Frame2.size(); ++i) {
    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Frame2_%1").arg(i));
    // Same colour, but not painted: the panel reaches over the frame's line,
    // and a box of its own would cut the line and stand out from the shading
    // some styles give the frame's inside.
    SetPanelColour(*panel);
    PlaceInTwips(*panel, kPanelLeft, kPanelTops[i], kPanelWidth, kPanelHeight);
    Frame2[i] = panel;
  }

  QFrame& keyword = *Frame2[kNameKeyword];
  const QLabel* keywordCaption = MakeText(keyword, QStringLiteral("ファイル名に"), kCaptionLeft, kCaptionTop);
  Text1 = MakeTextBox(keyword, QStringLiteral("Text1"), 1200, 145, 1455);
  QLabel* keywordExample = MakeText(keyword, QStringLiteral("例) PHOTO"), 1200, 480);
  KeepClearOf(*keywordCaption, {Text1, keywordExample});
  CaptionAfter(keyword, QStringLiteral("が含まれている"), *Text1);

  QFrame& extension = *Frame2[kExtension];
  const QLabel* extensionCaption = MakeText(extension, QStringLiteral("拡張子が"), kCaptionLeft, kCaptionTop);
  Text2 = MakeTextBox(extension, QStringLiteral("Text2"), 960, 145, 1095);
  QLabel* extensionExample = MakeText(extension, QStringLiteral("例) mp3"), 960, 480);
  KeepClearOf(*extensionCaption, {Text2, extensionExample});

  Combo2 = BuildSizePanel(*Frame2[kSizeSmaller], QStringLiteral("Combo2"), QStringLiteral("Byteより小さい"));
  Combo3 = BuildSizePanel(*Frame2[kSizeLarger], QStringLiteral("Combo3"), QStringLiteral("Byteより大きい"));

  const auto older = BuildTimePanel(*Frame2[kTimeOlder], 4, QStringLiteral("より古い"));
  Combo4 = older[0];
  Combo5 = older[1];
  Combo6 = older[2];
  Combo7 = older[3];
  const auto newer = BuildTimePanel(*Frame2[kTimeNewer], 8, QStringLiteral("より新しい"));
  Combo8 = newer[0];
  Combo9 = newer[1];
  Combo10 = newer[2];
  Combo11 = newer[3];
}

}  // namespace veskora
