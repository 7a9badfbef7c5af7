// The menus and buttons of the main window and what each of them does, on
// real rule files, a real desktop folder and a real move log.
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>

#include "shell_fixture.h"

using namespace veskora;
using namespace veskora::testing;

// "name|caption" for each entry, "name|-" for a separator.
static QStringList Entries(QMenu* menu) {
  QStringList entries;
  for (QAction* action : menu->actions()) {
    entries << action->objectName() + QLatin1Char('|') + (action->isSeparator() ? QStringLiteral("-") : action->text());
  }
  return entries;
}

class Form1CommandsTest : public QObject {
  Q_OBJECT

 private slots:
  void theMenusAreBuiltAsDesigned() {
    ShellFixture f;
    Form1* form = f.Start();
    QStringList bar;
    for (QAction* action : form->menuBar()->actions()) bar << action->menu()->objectName() + "|" + action->text();
    QCOMPARE(bar, (QStringList{"m1menu|ファイル", "m2menu|移動", "m2help|ヘルプ"}));

    QCOMPARE(Entries(Menu(form, "mlmenu")),
             (QStringList{"mlnew|新規移動条件を追加", "mlfopen|移動先を開く", "mlbar0|-", "mledit|変更",
                          "mlup|優先順位を上へ", "mldown|優先順位を下へ", "mlbar1|-", "mldel|削除"}));
    QCOMPARE(Entries(Menu(form, "ttmenu")), (QStringList{"ttopen|開く", "ttbar0|-", "ttend|終了"}));
    QCOMPARE(Entries(Menu(form, "m1menu")), (QStringList{"m1mini|タスクトレイに収納", "m1bar0|-", "m1end|終了"}));
    QCOMPARE(Entries(Menu(form, "m2menu")),
             (QStringList{"m2mauto|移動を自動実行", "m2mexec|いますぐ移動を実行", "m2bar0|-",
                          "m2new|新規移動条件を追加", "m2bar1|-", "m2log|移動ログを開く"}));
    QCOMPARE(Entries(Menu(form, "m2help")), (QStringList{"m2about|バージョン情報"}));

    for (QAction* action : form->findChildren<QAction*>()) {
      QVERIFY2(action->isEnabled(), qPrintable(action->objectName()));
      QVERIFY2(action->shortcut().isEmpty() && !action->text().contains(QLatin1Char('&')),
               qPrintable(action->objectName()));
      QCOMPARE(action->isCheckable(), action->objectName() == QStringLiteral("m2mauto"));
    }
  }

  void upDownDeleteAndOpenActOnTheSelectedRow() {
    ShellFixture f;
    const std::string blanks = f.MakeDir("my photos, 2");
    WriteFile(f.RulePath(), "-1,1,r1,/dest/1\r\n0,1,r2,\"" + blanks +
                                "\"\r\n-1,1,r3,(移動を禁止する)\r\n-1,1,r4,(未定義)\r\n0,1,r5,/dest/5\r\n");
    Form1* form = f.Start();
    const QStringList original = Rows(form);
    QCOMPARE(original.size(), 5);

    // No row selected: nothing moves or opens; the delete question is still asked.
    Action(form, "mlup")->trigger();
    Action(form, "mldown")->trigger();
    Action(form, "mlfopen")->trigger();
    f.dialogs.yesNoAnswers = {true};
    Action(form, "mldel")->trigger();
    QCOMPARE(f.dialogs.Texts(), QStringList{QStringLiteral("選択中の移動条件を削除します。よろしいですか？")});
    QCOMPARE(Rows(form), original);
    QVERIFY(f.handoff.opened.isEmpty());

    // Up on the first row and down on the last change nothing.
    ClickRow(form, 0);
    Action(form, "mlup")->trigger();
    QCOMPARE(Rows(form), original);
    QCOMPARE(SelectedRow(form), 0);
    ClickRow(form, 4);
    Action(form, "mldown")->trigger();
    QCOMPARE(Rows(form), original);
    QCOMPARE(SelectedRow(form), 4);

    // The third row up: rows 2 and 3 exchange everything, the selection follows.
    ClickRow(form, 2);
    Action(form, "mlup")->trigger();
    QCOMPARE(Rows(form), (QStringList{original[0], original[2], original[1], original[3], original[4]}));
    QCOMPARE(SelectedRow(form), 1);
    Action(form, "mldown")->trigger();
    QCOMPARE(Rows(form), original);
    QCOMPARE(SelectedRow(form), 2);

    // Open: a folder (blanks, comma and all) goes to the file manager; markers do nothing.
    Action(form, "mlfopen")->trigger();
    ClickRow(form, 3);
    Action(form, "mlfopen")->trigger();
    QVERIFY(f.handoff.opened.isEmpty());
    ClickRow(form, 1);
    Action(form, "mlfopen")->trigger();
    QCOMPARE(f.handoff.opened, QStringList{QStringLiteral("folder:") + QString::fromStdString(blanks)});

    // Delete: No keeps the row, Yes removes it and leaves nothing selected.
    f.dialogs.yesNoAnswers = {false};
    Action(form, "mldel")->trigger();
    QCOMPARE(Rows(form), original);
    f.dialogs.yesNoAnswers = {true};
    Action(form, "mldel")->trigger();
    QCOMPARE(Rows(form), (QStringList{original[0], original[2], original[3], original[4]}));
    QCOMPARE(SelectedRow(form), -1);

    // Down to the only row, then none: every command does nothing.
    for (int i = 0; i < 3; ++i) {
      ClickRow(form, 0);
      f.dialogs.yesNoAnswers = {true};
      Action(form, "mldel")->trigger();
    }
    QCOMPARE(Rows(form), QStringList{original[4]});
    ClickRow(form, 0);
    Action(form, "mlup")->trigger();
    Action(form, "mldown")->trigger();
    QCOMPARE(Rows(form), QStringList{original[4]});
    QCOMPARE(SelectedRow(form), 0);
    f.dialogs.yesNoAnswers = {true};
    Action(form, "mldel")->trigger();
    QCOMPARE(Rows(form), QStringList{});
    f.handoff.opened.clear();
    for (const char* name : {"mlup", "mldown", "mlfopen"}) Action(form, name)->trigger();
    QVERIFY(f.handoff.opened.isEmpty());

    // Nothing of this reaches the rule file before the end.
    QVERIFY(ReadFile(f.RulePath()).find("r2") != std::string::npos);
    form->EndProgram();
    QCOMPARE(ReadFile(f.RulePath()), std::string());
  }

  void runNowMovesOnceAndTheSwitchStartsAndStopsTheTimer() {
    ShellFixture f;
    const std::string dest = f.MakeDir("reports");
    WriteFile(f.RulePath(), "-1,1,report," + dest + "\r\n");
    QSettings(QString::fromStdString(f.IniPath()), QSettings::IniFormat).setValue("app/automove", "False");
    f.Finish();
    WriteFile(f.Desktop() + "/report-1.txt", "one");
    Form1* form = f.Start();
    QVERIFY(!Action(form, "m2mauto")->isChecked());
    QVERIFY(!Timer1(form)->isActive());

    Action(form, "m2mexec")->trigger();
    const std::string line = "[10/26 14:05:09] report-1.txt を " + dest + " へ移動しました";
    QCOMPARE(ReadFile(dest + "/report-1.txt"), std::string("one"));
    QVERIFY(!Exists(f.Desktop() + "/report-1.txt"));
    QCOMPARE(ReadFile(f.LogPath()), line + "\r\n");
    auto* monitor = form->findChild<QLabel*>(QStringLiteral("monitor"));
    QCOMPARE(monitor->text(), QString::fromStdString(line));
    QCOMPARE(monitor->size(), monitor->sizeHint());
    QVERIFY(!Timer1(form)->isActive());
    QVERIFY(!Action(form, "m2mauto")->isChecked());

    // Switching on runs no cycle at once; the timer's ticks do.
    WriteFile(f.Desktop() + "/report-2.txt", "two");
    Action(form, "m2mauto")->trigger();
    QVERIFY(Action(form, "m2mauto")->isChecked());
    QVERIFY(Timer1(form)->isActive());
    QVERIFY(Exists(f.Desktop() + "/report-2.txt"));
    QTRY_VERIFY_WITH_TIMEOUT(Exists(dest + "/report-2.txt"), 10000);
    Action(form, "m2mauto")->trigger();
    QVERIFY(!Action(form, "m2mauto")->isChecked());
    QVERIFY(!Timer1(form)->isActive());
  }

  void theLogButtonAndEntryCreateAndOpenTheLog() {
    ShellFixture f;
    Form1* form = f.Start();
    QVERIFY(!Exists(f.LogPath()));
    Action(form, "m2log")->trigger();
    QCOMPARE(ReadFile(f.LogPath()), std::string());
    const QString opened = QStringLiteral("file:") + QString::fromStdString(f.LogPath());
    QCOMPARE(f.handoff.opened, QStringList{opened});
    QTest::mouseClick(form->findChild<QWidget*>(QStringLiteral("Command2")), Qt::LeftButton);
    QCOMPARE(f.handoff.opened, (QStringList{opened, opened}));
  }

  void aRightPressInTheListPopsUpItsMenu() {
    ShellFixture f;
    Form1* form = f.Start();
    QMenu* mlmenu = Menu(form, "mlmenu");
    QWidget* rows = ListView1(form)->viewport();
    // An empty list, a left press: no menu; a right press: the menu.
    QTest::mousePress(rows, Qt::LeftButton, {}, QPoint(20, 20));
    QTest::mouseRelease(rows, Qt::LeftButton, {}, QPoint(20, 20));
    QVERIFY(!mlmenu->isVisible());
    QTest::mousePress(rows, Qt::RightButton, {}, QPoint(20, 20));
    QTRY_VERIFY(mlmenu->isVisible());
    for (QAction* action : mlmenu->actions()) QVERIFY(action->isEnabled());
    mlmenu->hide();
    QVERIFY(!form->menuBar()->actions().contains(mlmenu->menuAction()));
    QVERIFY(!form->menuBar()->actions().contains(Menu(form, "ttmenu")->menuAction()));
  }

  void everyAddCommandOpensTheEditorAndEditingTakesTheSelectedRow() {
    ShellFixture f;
    WriteFile(f.RulePath(), "-1,1,report,/dest/1\r\n");
    Form1* form = f.Start();
    QWidget* frame = form->findChild<QWidget*>(QStringLiteral("Frame1"));
    auto* cancel = form->findChild<QPushButton*>(QStringLiteral("Command4"));
    QTest::mouseClick(form->findChild<QWidget*>(QStringLiteral("Command0")), Qt::LeftButton);
    QVERIFY(frame->isVisible());
    cancel->click();
    QVERIFY(!frame->isVisible());
    for (const char* name : {"mlnew", "m2new"}) {
      Action(form, name)->trigger();
      QVERIFY2(frame->isVisible(), name);
      cancel->click();
    }

    // A double-click in the list runs the same as mledit: the selected rule opens.
    ClickRow(form, 0);
    QTreeView* list = ListView1(form);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(0, 1)).center());
    QVERIFY(frame->isVisible());
    cancel->click();
    Action(form, "mledit")->trigger();
    QVERIFY(frame->isVisible());

    // The editor hands the focus back to the list.
    form->activateWindow();
    QTRY_VERIFY(form->isActiveWindow());
    frame->setFocus();
    QMetaObject::invokeMethod(frame, "ruleListFocusRequested");
    QTRY_VERIFY(list->hasFocus());
  }
};

QTEST_MAIN(Form1CommandsTest)
#include "form1_commands_test.moc"
