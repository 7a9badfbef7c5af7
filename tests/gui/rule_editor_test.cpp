#include "editor/rule_editor.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest>
#include <array>
#include <functional>

#include "rules/rule_key.h"
#include "rules/rule_list.h"
#include "rules/rule_list_ops.h"
#include "scripted_dialogs.h"
#include "temp_dir.h"

using namespace veskora;

namespace {

const QString kProtect = QStringLiteral("(移動を禁止する)");
const QString kUndefined = QStringLiteral("(未定義)");

// One editor in a plain window over a real rule list; the clock stands in 2031.
struct Bench {
  QWidget window;
  RuleList rules;
  testing::ScriptedDialogs dialogs;
  testing::FakeClock clock{LocalTime{2031, 1, 15, 9, 30, 0}};
  RuleEditor editor{rules, dialogs, clock, &window};
  QSignalSpy focus{&editor, &RuleEditor::ruleListFocusRequested};

  Bench() {
    window.resize(800, 300);
    window.show();
  }
  void Add(bool enabled, int kind, const char* value, const char* destination) {
    QVERIFY(AddRuleItem(rules, enabled, kind, value, destination));
  }
  void Edit(int row) {
    rules.Select(row);
    editor.EditSelectedRule();
  }
  QFrame* Panel(int kind) const { return editor.findChild<QFrame*>(QStringLiteral("Frame2_%1").arg(kind)); }
  // The one condition panel the user sees, or -1.
  int FrontPanel() const {
    int front = -1;
    for (int kind = 0; kind <= 6; ++kind) {
      if (Panel(kind)->isHidden()) continue;
      if (front != -1) return -2;
      front = kind;
    }
    return front;
  }
  QStringList Lists() const {
    QStringList texts;
    for (int n = 2; n <= 11; ++n)
      texts << editor.findChild<QComboBox*>(QStringLiteral("Combo%1").arg(n))->currentText();
    return texts;
  }
  QString Dump() const {
    QString dump = QString::number(rules.Selected());
    for (const RuleRow& row : rules.Rows()) {
      dump += QStringLiteral("|%1;%2;%3;%4")
                  .arg(QString::fromStdString(row.text), QString::fromStdString(row.subItem),
                       QString::fromStdString(row.key))
                  .arg(row.checked ? 1 : 0);
    }
    return dump;
  }
};

void SetTime(const std::array<QComboBox*, 4>& lists, const QStringList& texts) {
  for (int i = 0; i < 4; ++i) lists[static_cast<std::size_t>(i)]->setCurrentText(texts[i]);
}

}  // namespace

class RuleEditorTest : public QObject {
  Q_OBJECT

 private slots:
  void controlsAndKindPanels() {
    Bench b;
    RuleEditor& e = b.editor;
    QCOMPARE(b.window.findChild<RuleEditor*>(QStringLiteral("Frame1")), &e);
    QVERIFY(e.isHidden());
    QCOMPARE(e.Combo1->count(), 6);
    QCOMPARE(e.Combo1->currentIndex(), -1);
    QStringList sizes;
    for (int i = 0; i < e.Combo3->count(); ++i) sizes << e.Combo3->itemText(i);
    QCOMPARE(sizes.join(' '), QStringLiteral(" 10 100 1K 10K 100K 1M 10M 100M 1G"));
    const QList<QComboBox*> time{e.Combo8, e.Combo9, e.Combo10, e.Combo11};
    const QStringList lasts{"12", "31", "23", "59"};
    const int counts[] = {13, 32, 25, 61};
    for (int i = 0; i < 4; ++i) {
      QCOMPARE(time[i]->count(), counts[i]);
      QVERIFY(time[i]->itemText(0).isEmpty());
      QCOMPARE(time[i]->itemText(time[i]->count() - 1), lasts[i]);
    }
    for (const char* name : {"Combo1", "Combo11", "Text1", "Text2", "Option1", "Option2", "Label1", "Command1",
                             "Command3", "Command4", "Frame2_0", "Frame2_6"}) {
      QVERIFY2(e.findChild<QWidget*>(name), name);
    }
    QCOMPARE(e.Label1->text(), QStringLiteral("未定義"));
    QVERIFY(e.Option1->isChecked());
    // Design positions in twips at the offscreen screen's 96 DPI: 15 twips a pixel.
    QCOMPARE(e.logicalDpiY(), 96);
    QCOMPARE(e.Combo1->geometry(), QRect(8, 24, 169, 20));
    QCOMPARE(e.height(), 120);
    QCOMPARE(b.Panel(6)->palette().color(QPalette::Window), QColor(224, 224, 224));

    QCOMPARE(b.FrontPanel(), 0);
    e.Combo1->setCurrentIndex(2);
    QCOMPARE(b.FrontPanel(), 3);
    QCOMPARE(b.Panel(3)->geometry(), QRect(184, 16, 337, 49));
    e.Combo2->setCurrentText("1K");
    e.Combo1->setCurrentIndex(0);
    QCOMPARE(b.FrontPanel(), 1);
    QCOMPARE(b.Panel(1)->y(), 16);
    QCOMPARE(e.Combo2->currentText(), QStringLiteral("1K"));  // kept, not read
    e.Combo1->setCurrentIndex(-1);
    QCOMPARE(b.FrontPanel(), 0);
  }

  void openingLoadsTheRuleOrResets() {
    Bench b;
    RuleEditor& e = b.editor;
    e.EditSelectedRule();  // empty list
    QVERIFY(e.isHidden());
    QVERIFY(e.title().isEmpty());
    b.Add(true, 1, "PHOTO", "/home/u/写真");
    b.Add(true, 2, "mp3", "(移動を禁止する)");
    b.Add(true, 3, "1K", "/x/移動を禁止する/y");
    b.Add(false, 4, "10M", "(未定義)");
    b.Add(true, 5, "20081026093000", "/d");
    b.Add(true, 6, "20240229235900", "/e");
    b.Add(true, 0, "odd", "/f");  // a kind the editor never stores
    b.Add(true, 3, "5K", "/g");   // a size that is no entry
    e.EditSelectedRule();         // rows, none selected
    QVERIFY(e.isHidden());

    b.Edit(1);
    QVERIFY(e.isVisible());
    QCOMPARE(e.title(), QStringLiteral("選択中の移動条件を変更"));
    QCOMPARE(e.Command3->text(), QStringLiteral("変更"));
    QCOMPARE(e.Text1->text(), QStringLiteral("PHOTO"));
    QCOMPARE(e.Label1->text(), QStringLiteral("/home/u/写真"));
    QVERIFY(e.Option1->isChecked());
    e.Text2->setText("stale");
    b.Edit(2);
    QCOMPARE(b.FrontPanel(), 2);
    QCOMPARE(e.Text2->text(), QStringLiteral("mp3"));
    QVERIFY(e.Text1->text().isEmpty());
    QVERIFY(e.Option2->isChecked());
    b.Edit(3);
    QCOMPARE(e.Combo2->currentText(), QStringLiteral("1K"));
    QVERIFY(e.Option2->isChecked());  // a plain substring test
    b.Edit(4);
    QCOMPARE(e.Combo3->currentText(), QStringLiteral("10M"));
    QCOMPARE(e.Label1->text(), kUndefined);
    QVERIFY(e.Option1->isChecked());
    b.Edit(5);
    QCOMPARE(e.Combo1->currentText(), QStringLiteral("ファイル作成時刻指定(古)"));
    QCOMPARE(b.FrontPanel(), 5);
    QCOMPARE(b.Lists().join(' '), QStringLiteral("  10 26 09 30    "));
    b.Edit(6);
    QCOMPARE(b.Lists().join(' '), QStringLiteral("      02 29 23 59"));
    b.Edit(7);
    QCOMPARE(e.Command3->text(), QStringLiteral("変更"));
    QCOMPARE(e.Combo1->currentIndex(), -1);
    QCOMPARE(b.FrontPanel(), 0);
    QCOMPARE(e.Label1->text(), QStringLiteral("/f"));
    b.Edit(8);
    QCOMPARE(e.Combo2->currentIndex(), 0);

    // Add mode right after change mode starts from scratch.
    b.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&b.window));
    b.Edit(5);
    e.Option2->setChecked(true);
    e.Command4->click();
    QVERIFY(e.isHidden());
    e.OpenForNewRule();
    QVERIFY(e.isVisible());
    QCOMPARE(e.title(), QStringLiteral("新規の移動条件を追加"));
    QCOMPARE(e.Command3->text(), QStringLiteral("追加"));
    QCOMPARE(e.Combo1->currentIndex(), -1);
    QCOMPARE(b.FrontPanel(), 0);
    QVERIFY(e.Text1->text().isEmpty() && e.Text2->text().isEmpty());
    QCOMPARE(b.Lists().join(' '), QStringLiteral("         "));
    QCOMPARE(e.Combo4->currentIndex(), 0);
    QCOMPARE(e.Label1->text(), kUndefined);
    QVERIFY(e.Option1->isChecked());
    QTRY_VERIFY(e.Combo1->hasFocus());
    QCOMPARE(b.rules.Count(), 8);
  }

  void refusalsLeaveEditorAndListAlone() {
    Bench b;
    RuleEditor& e = b.editor;
    b.Add(true, 1, "PHOTO", "/p");
    const QString before = b.Dump();
    e.OpenForNewRule();
    e.Command3->click();
    QCOMPARE(b.dialogs.Texts(), QStringList{QStringLiteral("移動条件が指定されていません")});
    QCOMPARE(b.focus.count(), 0);  // no kind: the focus stays

    struct Case {
      int kind;
      std::function<void()> fill;
      QString message;
    };
    const Case cases[] = {
        {1, [] {}, QStringLiteral("キーワードが指定されていません")},
        {2, [] {}, QStringLiteral("拡張子が指定されていません")},
        {3, [] {}, QStringLiteral("ファイルサイズが指定されていません")},
        {4, [] {}, QStringLiteral("ファイルサイズが指定されていません")},
        {5,
         [&] {
           SetTime({e.Combo4, e.Combo5, e.Combo6, e.Combo7}, {"10", "26", "", "30"});
         },
         QStringLiteral("ファイル作成時刻が指定されていません")},
        {6,
         [&] {
           SetTime({e.Combo8, e.Combo9, e.Combo10, e.Combo11}, {"", "26", "09", "30"});
         },
         QStringLiteral("ファイル作成時刻が指定されていません")},
        {1, [&] { e.Text1->setText("PHOTO"); }, QStringLiteral("すでに同一の移動条件があります")},
    };
    for (const Case& c : cases) {
      e.Combo1->setCurrentIndex(c.kind - 1);
      c.fill();
      e.Command3->click();
      QCOMPARE(b.dialogs.Texts().last(), c.message);
      QVERIFY(b.dialogs.shown.back().icon == Dialogs::Icon::kNone);
      QVERIFY(e.isVisible());
      QCOMPARE(b.Dump(), before);
    }
    QCOMPARE(b.dialogs.shown.size(), std::size(cases) + 1);
    QCOMPARE(b.focus.count(), static_cast<int>(std::size(cases)));
    QCOMPARE(e.Text1->text(), QStringLiteral("PHOTO"));  // the input survives
  }

  void addCommitsATickedSelectedRow() {
    Bench b;
    RuleEditor& e = b.editor;
    b.Add(false, 2, "mp3", "/m");
    e.OpenForNewRule();
    e.Combo1->setCurrentIndex(0);
    e.Text1->setText("PHOTO");
    e.Command3->click();
    QVERIFY(e.isHidden());
    QVERIFY(b.dialogs.shown.empty());
    QCOMPARE(b.focus.count(), 1);
    QCOMPARE(b.Dump(), QStringLiteral("2|拡張子が\"mp3\";/m;2,mp3,/m;0"
                                      "|ファイル名に\"PHOTO\"が含まれる;(未定義);1,PHOTO,(未定義);1"));

    e.OpenForNewRule();
    e.Combo1->setCurrentIndex(0);
    e.Text1->setText(" ");  // blanks are a keyword
    e.Command3->click();
    QCOMPARE(b.rules.Count(), 3);
    QCOMPARE(b.rules.Row(3).key, std::string("1, ,(未定義)"));

    // The year is the clock's; month 02 with day 31 passes; protect drops the folder.
    e.OpenForNewRule();
    b.dialogs.folderAnswers.push_back("/srv/music");
    e.Command1->click();
    e.Option2->setChecked(true);
    e.Combo1->setCurrentIndex(5);
    SetTime({e.Combo8, e.Combo9, e.Combo10, e.Combo11}, {"02", "31", "23", "59"});
    e.Command3->click();
    QCOMPARE(b.rules.Selected(), 4);
    QCOMPARE(b.rules.Row(4).key, std::string("6,20310231235900,(移動を禁止する)"));
    QCOMPARE(b.rules.Row(4).text, std::string("ファイル作成時刻が\"2031/02/31 23:59:00\"より新しい"));
  }

  void changeCommitsRewriteTheSelectedRow() {
    Bench b;
    RuleEditor& e = b.editor;
    b.Add(true, 1, "PHOTO", "/p");
    b.Add(false, 2, "mp3", "/m");
    b.Add(true, 5, "20081026093000", "/old");
    b.Add(true, 4, "1M", "(移動を禁止する)");

    b.Edit(1);  // only the destination changes: the row finds itself
    b.dialogs.folderAnswers.push_back("/q");
    e.Command1->click();
    const QString before = b.Dump();
    e.Command3->click();
    QCOMPARE(b.dialogs.Texts().last(), QStringLiteral("すでに同一の移動条件があります"));
    QCOMPARE(b.Dump(), before);
    QVERIFY(e.isVisible());

    // The row selected at the commit takes the change, its kind included; its
    // check box and place stay.
    b.rules.Select(2);
    e.Text1->setText("DOC");
    e.Command3->click();
    QVERIFY(e.isHidden());
    QCOMPARE(b.rules.Selected(), 2);
    QCOMPARE(b.rules.Row(1).key, std::string("1,PHOTO,/p"));
    QCOMPARE(b.rules.Row(2).key, std::string("1,DOC,/q"));
    QCOMPARE(b.rules.Row(2).text, std::string("ファイル名に\"DOC\"が含まれる"));
    QCOMPARE(b.rules.Row(2).subItem, std::string("/q"));
    QVERIFY(!b.rules.Row(2).checked);

    b.Edit(3);  // stored in 2008, committed unchanged in 2031
    e.Command3->click();
    QCOMPARE(b.rules.Count(), 4);
    QCOMPARE(b.rules.Row(3).key, std::string("5,20311026093000,/old"));

    b.Edit(4);  // Option1 without a folder keeps what Label1 shows
    e.Option1->setChecked(true);
    e.Combo3->setCurrentText("10M");
    e.Command3->click();
    QCOMPARE(b.rules.Row(4).key, std::string("4,10M,(移動を禁止する)"));

    // The row went while the editor stood open: the change is kept as a new rule.
    b.Edit(4);
    e.Combo3->setCurrentText("1G");
    b.rules.Select(0);
    e.Command3->click();
    QCOMPARE(b.rules.Count(), 5);
    QCOMPARE(b.rules.Row(4).key, std::string("4,10M,(移動を禁止する)"));
    QCOMPARE(b.rules.Row(5).key, std::string("4,1G,(移動を禁止する)"));
    QCOMPARE(b.rules.Selected(), 5);
  }

  void folderPickerAndCommas() {
    Bench b;
    RuleEditor& e = b.editor;
    e.OpenForNewRule();
    const int narrow = e.Label1->width();
    e.Option2->setChecked(true);
    e.Command1->click();  // cancelled
    QCOMPARE(b.dialogs.shown.back().text, QStringLiteral("移動先フォルダを選択してください"));
    QCOMPARE(e.Label1->text(), kUndefined);
    QVERIFY(e.Option2->isChecked());

    const QString folder = QStringLiteral("/home/u/デスクトップ/a, b/long folder name");
    b.dialogs.folderAnswers.push_back(folder);
    e.Command1->click();
    QCOMPARE(e.Label1->text(), folder);
    QVERIFY(e.Option1->isChecked());
    QVERIFY(e.Label1->width() > narrow);

    e.Combo1->setCurrentIndex(0);
    e.Text1->setText("x,\"y\"");
    e.Command3->click();
    QCOMPARE(b.rules.Count(), 1);
    const MoveRule parts = SplitRuleKey(b.rules.Row(1).key);
    QCOMPARE(parts.kind, 1);
    QCOMPARE(QString::fromStdString(parts.value), QStringLiteral("x,\"y\""));
    QCOMPARE(QString::fromStdString(parts.destination), folder);
    e.EditSelectedRule();
    QCOMPARE(e.Text1->text(), QStringLiteral("x,\"y\""));
    QCOMPARE(e.Label1->text(), folder);
  }
};

QTEST_MAIN(RuleEditorTest)
#include "rule_editor_test.moc"
