// The rule editor in the real window: what it shows and draws, what it refuses, what a commit writes.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <span>

#include "user_environment.h"

using namespace veskora;
using namespace veskora::testing;

namespace {

QComboBox* List(const Form1* form, int n) { return Find<QComboBox>(form, qPrintable(QString("Combo%1").arg(n))); }
QLineEdit* Text(const Form1* form, int n) { return Find<QLineEdit>(form, qPrintable(QString("Text%1").arg(n))); }
void Press(const Form1* form, const char* name) { Find<QAbstractButton>(form, name)->click(); }
void Edit(const Form1* form, int row) {
  ClickRow(form, row);
  Action(form, "mledit")->trigger();
}

// Caption|OK|kind|panel in front ("low" when not at the top, "blocked" when an input of it is hidden)|text boxes|
// the ten lists|destination (whole, as its tooltip; "…" when cut in the middle)|option.
QString Shown(const Form1* form) {
  const auto* frame = Find<QGroupBox>(form, "Frame1");
  if (frame->isHidden()) return "hidden";
  QString front;
  for (int kind = 0; kind <= 6; ++kind) {
    const QWidget* panel = Find(form, qPrintable(QString("Frame2_%1").arg(kind)));
    if (panel->isHidden()) continue;
    front += QString::number(kind) + (panel->y() == Find(form, "Frame2_0")->y() ? "" : "low");
    for (const QWidget* input : panel->findChildren<QWidget*>()) front += input->isHidden() ? "blocked" : "";
  }
  QStringList lists;
  for (int n = 2; n <= 11; ++n) lists << List(form, n)->currentText();
  const auto* label = Find<QLabel>(form, "Label1");
  const QString whole = label->toolTip(), seen = label->text();
  const bool middleCut = seen.contains("…") && seen.startsWith(whole.left(3)) && seen.endsWith(whole.right(3));
  return QStringList{frame->title(),
                     Find<QAbstractButton>(form, "Command3")->text(),
                     QString::number(List(form, 1)->currentIndex() + 1),
                     front,
                     Text(form, 1)->text(),
                     Text(form, 2)->text(),
                     lists.join(','),
                     whole + (seen == whole ? "" : middleCut ? "…" : "cut wrong"),
                     Find<QRadioButton>(form, "Option2")->isChecked() ? "protect" : "move"}
      .join('|');
}

// Something in every input, for an opening to reset.
void Scribble(const Form1* form) {
  Text(form, 1)->setText("stale");
  Text(form, 2)->setText("stale");
  for (int n = 2; n <= 11; ++n) List(form, n)->setCurrentIndex(1);
  Find<QRadioButton>(form, "Option2")->setChecked(true);
}

void Pick(const Form1* form, int firstList, const QStringList& texts) {
  for (int i = 0; i < texts.size(); ++i) List(form, firstList + i)->setCurrentText(texts[i]);
}

}  // namespace

class RuleEditorTest : public QObject {
  Q_OBJECT

 private slots:
  void openingShowsTheRuleOrAFreshForm() {
    UserEnvironment user;
    const QString deep = "/x/移動を禁止する/" + QString(60, 'y') + "/z";
    Form1* form = user.Start(RuleFileText({"-1,1,PHOTO,/home/u/写真", "-1,2,mp3,(移動を禁止する)",
                                           "-1,3,1K," + deep.toStdString(), "0,4,10M,(未定義)", "-1,5,20080101000000,/d",
                                           "-1,6,20240229235900,/e", "-1,0,odd,/f", "-1,3,5K,/g"}));
    QVERIFY(QTest::qWaitForWindowActive(form));
    Action(form, "mledit")->trigger();  // no row selected
    QCOMPARE(Shown(form), "hidden");
    const QString none = ",,,,,,,,,";
    const QStringList rows = QString("1|1|PHOTO||%1|/home/u/写真|move;2|2||mp3|%1|(移動を禁止する)|protect;3|3|||1K,,,,,,,,,|"
                                     "%2…|protect;4|4|||,10M,,,,,,,,|(未定義)|move;5|5|||,,01,01,00,00,,,,|/d|move;"
                                     "6|6|||,,,,,,02,29,23,59|/e|move;0|0|||%1|/f|move;3|3|||%1|/g|move")
                                 .arg(none, deep).split(';');
    for (int row = 0; row < rows.size(); ++row) {
      Scribble(form);
      Edit(form, row);
      QCOMPARE(Shown(form), "選択中の移動条件を変更|変更|" + rows[row]);
    }
    QStringList lastEntries;  // the time lists end at the last month, day, hour and minute
    for (int n = 4; n <= 11; ++n) lastEntries << List(form, n)->itemText(List(form, n)->count() - 1);
    QCOMPARE(lastEntries.join(','), "12,31,23,59,12,31,23,59");
    // The size panel lets the frame's line show through, not a box of its own; picture buttons are drawn.
    const QWidget* panel = Find(form, "Frame2_3");
    const QImage image = Find(form, "Frame1")->grab().toImage();
    const int clearX = panel->x() - 3;  // between Combo1 and the panel only the frame
    QVERIFY(panel->isVisible() && clearX > List(form, 1)->geometry().right());
    int lineY = 1;
    while (lineY < panel->geometry().bottom() && image.pixel(clearX, lineY) == image.pixel(clearX, 0)) ++lineY;
    QVERIFY2(lineY >= panel->y() && lineY < panel->geometry().bottom(), "the frame's line does not cross the panel");
    for (int x = panel->x(); x <= panel->geometry().right(); ++x)
      QCOMPARE(image.pixel(x, lineY), image.pixel(clearX, lineY));
    QCOMPARE(image.pixel(panel->x() + panel->width() / 2, lineY + 3), image.pixel(clearX, lineY + 3));
    for (const char* name : {"Command0", "Command2", "Command5"}) {
      const QImage picture = Find(form, name)->grab().toImage().convertToFormat(QImage::Format_RGB32);
      const auto* pixels = reinterpret_cast<const QRgb*>(picture.constBits());  // no padding in 32-bit rows
      QVERIFY2(QSet<QRgb>(pixels, pixels + picture.width() * picture.height()).size() > 2, name);
    }
    QTreeView* list = ListView1(form);  // a double-click runs the same
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(0, 0)).center());
    QCOMPARE(Shown(form), "選択中の移動条件を変更|変更|" + rows[0]);
    // Every way to a new rule starts from scratch, with the focus on the kind.
    for (const char* command : {"Command0", "mlnew", "m2new"}) {
      Scribble(form);
      list->setFocus();
      command[0] == 'C' ? Press(form, command) : Action(form, command)->trigger();
      QCOMPARE(Shown(form), "新規の移動条件を追加|追加|0|0|||" + none + "|(未定義)|move");
      QTRY_VERIFY2(List(form, 1)->hasFocus(), command);
    }
    QTest::keyClick(List(form, 1), Qt::Key_Escape);  // as キャンセル
    QCOMPARE(Shown(form), "hidden");
    QCOMPARE(Rows(form).size(), rows.size());
  }

  // Refused, a rule leaves the editor open and the list alone; committed, it reaches the list and file at once.
  void refusalsAndCommits() {
    UserEnvironment user;
    const std::string p = user.MakeDir("p");
    const std::string rules =
        RuleFileText({"-1,1,PHOTO," + p, "0,2,mp3,/m", "-1,5,20081026093000,/old", "-1,4,1M,(移動を禁止する)"});
    Form1* form = user.Start(rules);
    QVERIFY(QTest::qWaitForWindowActive(form));
    Press(form, "Command0");
    Press(form, "Command3");
    QVERIFY(List(form, 1)->hasFocus());  // without a kind the focus stays
    // kind, the first time list picked from, picks, keyword, message
    const std::tuple<int, int, QStringList, QString, QString> refusals[] = {
        {0, 0, {}, "", "移動条件が指定されていません"},
        {1, 0, {}, "", "キーワードが指定されていません"},
        {2, 0, {}, "", "拡張子が指定されていません"},
        {3, 0, {}, "", "ファイルサイズが指定されていません"},
        {4, 0, {}, "", "ファイルサイズが指定されていません"},
        {5, 4, {"10", "26", "", "30"}, "", "ファイル作成時刻が指定されていません"},
        {6, 8, {"", "26", "09", "30"}, "", "ファイル作成時刻が指定されていません"},
        {1, 0, {}, "PHOTO", "すでに同一の移動条件があります"},
    };
    QStringList messages{std::get<4>(refusals[0])};
    for (const auto& [kind, firstList, picks, keyword, message] : std::span(refusals).subspan(1)) {
      List(form, 1)->setCurrentIndex(kind - 1);
      Pick(form, firstList, picks);
      Text(form, 1)->setText(keyword);
      List(form, 1)->setFocus();
      Press(form, "Command3");
      QVERIFY(Find(form, "Frame1")->isVisible());
      QTRY_VERIFY(ListView1(form)->hasFocus());  // refused or not, the list takes the focus
      messages << message;
    }
    QCOMPARE(user.dialogs.texts, messages);
    QVERIFY(!user.dialogs.icons.contains(Dialogs::Icon::kInformation));
    QCOMPARE(ReadFile(user.RulePath()), rules);
    const auto add = [&](int kind, const QString& folder) {  // a folder chosen means 移動する, a cancel nothing
      Action(form, "m2new")->trigger();
      Find<QRadioButton>(form, "Option2")->setChecked(true);
      user.dialogs.folderAnswers = {folder};
      Press(form, "Command1");
      List(form, 1)->setCurrentIndex(kind - 1);
    };
    // A keyword rule into a folder with a comma: a ticked, selected row at the end; the focus on the list.
    add(1, "/srv/a, b");
    Text(form, 1)->setText("DOC");
    QTest::keyClick(Text(form, 1), Qt::Key_Return);  // Enter commits
    QCOMPARE(Shown(form), "hidden");
    QCOMPARE(Rows(form).last(), "ファイル名に\"DOC\"が含まれる|/srv/a, b|2");
    QCOMPARE(SelectedRow(form), 4);
    QTRY_VERIFY(ListView1(form)->hasFocus());
    QVERIFY(ReadFile(user.RulePath()).ends_with("-1,1,DOC,\"/srv/a, b\"\r\n"));
    // Blanks are a keyword; protecting drops any folder; a time takes the clock's year, no calendar check.
    add(1, "");
    Text(form, 1)->setText(" ");
    Press(form, "Command3");
    add(6, "/srv/music");
    Find<QRadioButton>(form, "Option2")->setChecked(true);
    Pick(form, 8, {"02", "31", "23", "59"});
    Press(form, "Command3");
    // The row the editor opened on is marked while it is open, and changed even when another is selected:
    // its folder alone (no duplicate of itself), its box and place staying.
    Edit(form, 0);
    QCOMPARE(Rows(form).filter("*"), QStringList{"ファイル名に\"PHOTO\"が含まれる|" + QString::fromStdString(p) + "|2*"});
    user.dialogs.folderAnswers = {"/q"};
    Press(form, "Command1");
    QCOMPARE(user.dialogs.texts.last(), "移動先フォルダを選択してください @ " + QString::fromStdString(p));  // at the rule's
    ClickRow(form, 1);
    Press(form, "Command3");
    QVERIFY(Rows(form).filter("*").isEmpty() && Rows(form)[1].endsWith("|/m|0"));
    Edit(form, 1);  // another row with the same condition refuses
    List(form, 1)->setCurrentIndex(0);
    Text(form, 1)->setText("PHOTO");
    Press(form, "Command3");
    QCOMPARE(user.dialogs.texts.last(), "すでに同一の移動条件があります");
    Text(form, 1)->setText("DOCS");
    Press(form, "Command3");
    Edit(form, 2);  // a time committed unchanged takes this year
    Press(form, "Command3");
    Edit(form, 3);  // "移動する" without a folder keeps what the editor shows
    Find<QRadioButton>(form, "Option1")->setChecked(true);
    List(form, 3)->setCurrentText("10M");
    Press(form, "Command3");
    Action(form, "mledit")->trigger();  // the row goes while the editor is open: nothing to change
    List(form, 3)->setCurrentText("1G");
    user.dialogs.yesNoAnswers = {true};
    Action(form, "mldel")->trigger();
    Press(form, "Command3");
    QCOMPARE(user.dialogs.texts.last(), "変更する移動条件が見つかりません");
    QCOMPARE(ReadFile(user.RulePath()),
             RuleFileText({"-1,1,PHOTO,/q", "0,1,DOCS,/m", "-1,5,20241026093000,/old", "-1,1,DOC,\"/srv/a, b\"",
                           "-1,1, ,(移動を禁止する)", "-1,6,20240231235900,(移動を禁止する)"}));
  }
  // The count under the condition follows the typing, on the desktop as the editor found it; a file that a
  // row above takes first is not counted. The keyboard reaches its list.
  void theMatchCountFollowsTyping() {
    UserEnvironment user;
    for (const char* name : {"PHOTO1.jpg", "PHOTO2.png", "song.mp3", "x.PHOTO.png"}) WriteFile(user.Desktop(name), "");
    Form1* form = user.Start(RuleFileText({"-1,2,png,(移動を禁止する)"}));
    Press(form, "Command0");
    WriteFile(user.Desktop("PHOTO3.jpg"), "");  // after the opening
    auto* count = Find<QLabel>(form, "editorMatches");
    List(form, 1)->setCurrentIndex(0);
    for (const auto& [typed, names] : {std::pair{"PHOTO", "PHOTO1.jpg"}, {"", ""}, {".", "PHOTO1.jpg\nsong.mp3"}}) {
      QTest::keyClicks(Text(form, 1), typed);
      const QString shown = *typed ? QString::number(QString(names).count('\n') + 1) + "件のファイルが該当します" : "";
      QTRY_COMPARE(count->text() + '|' + count->toolTip(), shown + '|' + names);
      Text(form, 1)->clear();
    }
    Press(form, "Command4");
    Edit(form, 0);  // the row itself decides what it matches
    QTRY_COMPARE(count->toolTip(), "PHOTO2.png\nx.PHOTO.png");
    count->setFocus();
    QTest::keyClick(count, Qt::Key_Space);
    QCOMPARE(user.dialogs.texts.last(), count->toolTip());
    QVERIFY(Find(form, "Frame1")->isVisible());
  }
};

QTEST_MAIN(RuleEditorTest)
#include "rule_editor_test.moc"
