// The main window from start-up to every way of ending; the last test also runs under a real window manager.
#include <unistd.h>

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTreeWidget>
#include <QWindow>

#include "adapters/qt/qt_dialogs.h"
#include "adapters/qt/qt_translations.h"
#include "session/app_settings.h"
#include "session/desktop_folder.h"
#include "user_environment.h"

using namespace veskora;
using namespace veskora::testing;

namespace {

const std::string kRules = RuleFileText({"5,1,report,/tmp/nowhere", "0,1,memo,(移動を禁止する)"});

bool Running(const Form1* form, UserEnvironment& user) {
  return Find<QTimer>(form, "Timer1")->isActive() && user.Tray().isVisible();
}
// The tray's tooltip, and "paused" when its icon is not the program's own.
QString TrayLooks(UserEnvironment& user) {
  const bool own = user.Tray().icon().pixmap(32).toImage() == MakeAppIcon().pixmap(32).toImage();
  return user.Tray().toolTip() + (own ? "" : " paused");
}
bool Shown(const Form1* form) { return form->isVisible() && !form->isMinimized() && !form->isMaximized(); }
bool InTray(const Form1* form) {
  return form->isMinimized() && !form->isVisible() && Find(form, "ListView1")->isHidden();
}
QSize Minimum(const Form1* form) { return {TwipsScale(*form).X(8000), TwipsScale(*form).Y(6000)}; }

// What is out of place in the window; empty when everything is in place.
QString Misplaced(const Form1* form) {
  const QWidget* client = ListView1(form)->parentWidget();
  const auto* header = ListView1(form)->header();
  const auto at = [&](const char* name) { return Find(form, name)->geometry(); };
  const QRect list = at("ListView1"), frame = at("Frame1"), add = at("Command0"), tray = at("Command5");
  const QRect log = at("Command2"), monitor = at("monitor"), ok = at("Command3"), cancel = at("Command4");
  const int columns = header->sectionSize(0) + header->sectionSize(1);
  QString wrong;
  const auto rule = [&wrong](const char* name, bool holds) { wrong += holds ? "" : QString(name) + ' '; };
  rule("list", list.topLeft() == QPoint() && list.width() <= client->width() && list.width() > client->width() - 10);
  rule("columns",
       header->sectionSize(0) == header->sectionSize(1) && columns <= list.width() && columns > list.width() - 15);
  rule("editor", frame.top() > list.bottom() && frame.width() >= list.width());
  rule("add", frame.contains(add) && qAbs(add.center().x() - client->width() / 2) <= 2);
  rule("bottom row", tray.top() > frame.bottom() && log.top() == tray.top() && monitor.top() > tray.top() &&
                         tray.right() < log.left() && log.right() < monitor.left());
  rule("inside", qMax(tray.bottom(), monitor.bottom()) < client->height() && monitor.right() < client->width());
  rule("OK", cancel.right() < ok.left() && ok.right() < frame.width() && ok.y() == cancel.y());
  return wrong;
}

}  // namespace

class Form1Test : public QObject {
  Q_OBJECT

 private slots:
  void startUpAndEveryWayOfEnding() {
    for (const char* way : {"m1end", "ttend", "close"}) {
      UserEnvironment user;
      Form1* form = user.Start(kRules);
      QTRY_COMPARE(OuterSize(*form), Minimum(form));  // the default height 5000 rises to 6000
      QVERIFY(Shown(form) && Running(form, user) && Action(form, "m2mauto")->isChecked() && Rows(form).size() == 2 &&
              Find<QTimer>(form, "Timer1")->interval() == 2000);
      form->windowHandle()->setWindowStates(Qt::WindowMinimized);
      QTRY_VERIFY(InTray(form));
      QVERIFY(!user.Start());  // a second copy says so and brings the first out of the tray, changing nothing else
      QTRY_VERIFY(Shown(form));
      QCOMPARE(user.dialogs.texts, QStringList{"既に起動されています"});
      QCOMPARE(user.dialogs.icons[0], Dialogs::Icon::kInformation);
      QSignalSpy ended(form, &Form1::ended);
      const auto end = [&](bool yes) {
        user.dialogs.yesNoAnswers = {yes};
        way[0] == 'c' ? void(form->close()) : Action(form, way)->trigger();
      };
      if (way[1] == '1') {  // only the File menu asks; No changes nothing
        end(false);
        QCOMPARE(user.dialogs.texts.last(), "VESKORAを終了してもよろしいですか？");
        QVERIFY(ended.isEmpty() && Shown(form) && Running(form, user));
      }
      QVERIFY(!Exists(user.IniPath()) && ReadFile(user.RulePath()) == kRules);
      end(true);
      QCOMPARE(user.dialogs.texts.size(), qsizetype{way[1] == '1' ? 3 : 1});
      QVERIFY2(ended.count() == 1 && !user.Tray().isVisible(), way);
      // Rows nobody edited are written back as they were read (a flag of 5 stays 5).
      QCOMPARE(ReadFile(user.RulePath()), kRules);
      QCOMPARE(user.Settings(), QString("%1 6000 0 True").arg(qRound(TwipsScale(*form).TwipsX(Minimum(form).width()))));
      std::remove(user.RulePath().c_str());  // a second ending (a signal after the close) saves nothing
      form->EndProgram();
      QVERIFY(!Exists(user.RulePath()) && ended.count() == 1);
      user.Finish();
      QVERIFY(user.Start());  // the next start is no second copy
    }
  }

  void windowStateAndSwitchComeBackAndTheTrayBringsTheWindowBack() {
    UserEnvironment user;
    Form1* form = user.Start();
    Action(form, "m2about")->trigger();
    QVERIFY(user.dialogs.icons == QList{Dialogs::Icon::kNone} &&
            user.dialogs.texts[0].startsWith("VESKORA  ver.1\r\n"));
    const auto restart = [&] {
      Action(form, "ttend")->trigger();
      user.Finish();
      form = user.Start();
    };
    form->setWindowState(Qt::WindowMaximized);
    QTRY_VERIFY(form->isMaximized());
    QCOMPARE(TrayLooks(user), "VESKORA — 自動移動は実行中");
    Action(form, "m2mauto")->trigger();
    QCOMPARE(TrayLooks(user), "VESKORA — 自動移動は停止中 paused");
    const int width = qRound(TwipsScale(*form).TwipsX(OuterSize(*form).width()));
    restart();
    QCOMPARE(user.Settings(), QString("%1 %2 2 False").arg(width).arg(user.Ini("window/height")));
    QVERIFY(form->isMaximized() && !Action(form, "m2mauto")->isChecked() && !Find<QTimer>(form, "Timer1")->isActive());
    QCOMPARE(TrayLooks(user), "VESKORA — 自動移動は停止中 paused");
    // Command5, maximized: into the tray, also at the next start. Only a left press brings it back, normal and
    // at least the smallest size; the right one offers the tray menu, only while in the tray.
    QTest::mouseClick(Find(form, "Command5"), Qt::LeftButton);
    QVERIFY(InTray(form));
    restart();
    QSystemTrayIcon* tray = &user.Tray();
    for (auto reason : {QSystemTrayIcon::DoubleClick, QSystemTrayIcon::MiddleClick}) emit tray->activated(reason);
    QVERIFY(InTray(form));
    emit tray->activated(QSystemTrayIcon::Context);
    QTRY_VERIFY(Find(form, "ttmenu")->isVisible());
    Find(form, "ttmenu")->hide();
    emit tray->activated(QSystemTrayIcon::Trigger);
    QVERIFY(Shown(form) && Find(form, "ListView1")->isVisible());
    QTRY_VERIFY(form->isActiveWindow() && OuterSize(*form).expandedTo(Minimum(form)) == OuterSize(*form));
    emit tray->activated(QSystemTrayIcon::Context);
    QVERIFY(!Find(form, "ttmenu")->isVisible());
    // Minimized by the title bar's button: into the tray too; "開く" restores.
    form->windowHandle()->setWindowStates(Qt::WindowMinimized);
    QTRY_VERIFY(InTray(form));
    Action(form, "ttopen")->trigger();
    QVERIFY(Shown(form));
    // Without a tray the window stays in the task bar, there to come back from.
    user.trayAvailable = false;
    Action(form, "m1mini")->trigger();
    QVERIFY(form->isMinimized() && form->isVisible());
    restart();
    QVERIFY(form->isMinimized() && form->isVisible());
  }

  void settingsReadAsTheProgramMeansThem() {
    UserEnvironment user;
    const auto read = [] {
      const AppSettings s = ReadAppSettings(IniSettingsStore());
      return QString("%1 %2 %3 %4").arg(s.width).arg(s.height).arg(s.state).arg(s.automove ? "true" : "false");
    };
    QCOMPARE(read(), "8000 5000 0 true");
    // width|height|state|automove as stored -> as read
    for (const auto& [stored, meant] :
         {std::pair{"7995|6000|2|False", "7995 6000 2 false"}, {"wide|9000.7px|1.5|maybe", "0 9000.7 2 true"},
          {"  -5|1e3|0.5|-1", "0 1000 0 true"}, {"2E1|2|7|0", "20 2 0 false"}, {"1|2|-0.5|false", "1 2 0 false"},
          {"1|2|2.5 (max)|", "1 2 2 true"}}) {
      user.SetSettings(stored);
      QCOMPARE(read(), meant);
    }
    WriteFile(user.IniPath(), std::string("\x00\xFF\xFE garbage \n[[[\n=\n\x01\x02", 20));  // no INI at all
    QCOMPARE(read(), "8000 5000 0 true");
    IniSettingsStore store;
    WriteAppSettings(store, {7995.4, 6000, 1, false});
    QCOMPARE(user.Settings(), "7995 6000 1 False");
  }

  // Commands act on the selected row, keys tick rows and press buttons, each change reaches the file at once;
  // a rule file that could not all be loaded is kept aside at the first change.
  void listCommandsAndKeysChangeTheRuleFileAtOnce() {
    UserEnvironment user;
    const std::string folder = user.MakeDir("my photos, 2");
    const std::string r1 = "-1,1,r1,/dest/1", r2 = "0,1,r2,\"" + folder + "\"", r3 = "-1,1,r3,(移動を禁止する)";
    const std::string broken = RuleFileText({r1, r2, r3, "-1,1"});
    Form1* form = user.Start(broken);
    QCOMPARE(ReadFile(user.RulePath()), broken);  // loading writes nothing
    QVERIFY(QTest::qWaitForWindowActive(form));
    QTreeView* list = ListView1(form);
    QAbstractItemModel* model = list->model();
    QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    const QStringList rows = Rows(form);
    const auto command = [&](const char* name, bool yes = true) {
      user.dialogs.yesNoAnswers = {yes};
      Action(form, name)->trigger();
    };
    // Without a selected row nothing moves or opens; the delete question is still asked.
    for (const char* name : {"mlup", "mldown", "mlfopen", "mldel"}) command(name);
    QCOMPARE(user.dialogs.texts, QStringList{"選択中の移動条件を削除します。よろしいですか？"});
    QCOMPARE(Rows(form), rows);
    const auto key = [&](Qt::Key k, Qt::KeyboardModifiers with = {}, bool yes = true) {
      user.dialogs.yesNoAnswers = {yes};
      QTest::keyClick(list, k, with);
    };
    // A row changes place with everything it has, by Ctrl+Up and Ctrl+Down too; the selection follows.
    ClickRow(form, 1);
    key(Qt::Key_Up, Qt::ControlModifier);
    QCOMPARE(Rows(form), (QStringList{rows[1], rows[0], rows[2]}));
    QCOMPARE(ReadFile(user.RulePath()), RuleFileText({r2, r1, r3}));
    key(Qt::Key_Down, Qt::ControlModifier);
    QCOMPARE(SelectedRow(form), 1);
    // The folder opens in the file manager, as one path, or says it could not; a marker opens nothing.
    command("mlfopen");
    user.handoff.works = false;
    command("mlfopen");
    QCOMPARE(user.dialogs.texts.last(), "フォルダを開けませんでした: " + QString::fromStdString(folder));
    ClickRow(form, 2);
    command("mlfopen");
    QCOMPARE(user.handoff.opened, QStringList(2, "folder:" + QString::fromStdString(folder)));
    // The popup opens at the row by the Menu key and Shift+F10; Enter and F2 open the row in the editor,
    // Escape closes it; F10 opens the first menu.
    auto* mlmenu = Find<QMenu>(form, "mlmenu");
    for (const auto& [k, with] : {std::pair{Qt::Key_Menu, Qt::NoModifier}, {Qt::Key_F10, Qt::ShiftModifier}}) {
      key(k, with);
      const QPoint row = list->viewport()->mapToGlobal(list->visualRect(list->currentIndex()).bottomLeft());
      QTRY_VERIFY(mlmenu->isVisible() && (mlmenu->pos() - row).manhattanLength() < 3);
      mlmenu->hide();
    }
    for (const Qt::Key k : {Qt::Key_Return, Qt::Key_F2}) {
      list->selectionModel()->clearSelection();  // the current row is enough
      key(k);
      QVERIFY(Find(form, "Frame1")->isVisible() && Find<QLineEdit>(form, "Text1")->text() == "r3");
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);  // the editor took the focus
      QVERIFY(Find(form, "Frame1")->isHidden() && list->hasFocus());
    }
    QTest::keyClick(form, Qt::Key_F10);
    QTRY_VERIFY(Find(form, "m1menu")->isVisible());
    Find(form, "m1menu")->hide();
    // Delete asks: No keeps the row; Yes deletes it and leaves no row selected.
    key(Qt::Key_Delete, {}, false);
    QCOMPARE(Rows(form), rows);
    key(Qt::Key_Delete);
    QCOMPARE(SelectedRow(form), -1);
    QCOMPARE(ReadFile(user.RulePath()), RuleFileText({r1, r2}));
    // Space ticks the current row whichever column holds the focus.
    list->setFocus();
    for (const int column : {1, 0}) {
      list->setCurrentIndex(model->index(1, column));
      QTest::keyClick(list, Qt::Key_Space);
      QCOMPARE(ReadFile(user.RulePath()), RuleFileText({r1, "-1" + r2.substr(1)}));
      QTest::keyClick(list, Qt::Key_Space);
      QCOMPARE(ReadFile(user.RulePath()), RuleFileText({r1, r2}));
    }
    QCOMPARE(ReadFile(user.RulePath() + ".bak"), broken);
    QCOMPARE(Find<QLabel>(form, "monitor")->toolTip(),
             QString::fromStdString("[10/26 14:05:09] 移動条件ファイルの元の内容を " + user.RulePath() +
                                    ".bak に残しました"));
    // The box is the first column's, and nothing else can be changed.
    QVERIFY(model->flags(model->index(0, 0)).testFlag(Qt::ItemIsUserCheckable) &&
            !model->flags(model->index(0, 1)).testFlag(Qt::ItemIsUserCheckable));
    QVERIFY(!model->setData(model->index(0, 0), "x") && !model->setData(model->index(0, 1), 2, Qt::CheckStateRole));
    // One row selected at a time, also with Ctrl.
    ClickRow(form, 0);
    ClickRow(form, 1, Qt::ControlModifier);
    QCOMPARE(list->selectionModel()->selectedRows().size(), 1);
    // Enter presses the focused button of the editor.
    user.dialogs.texts.clear();
    Find<QAbstractButton>(form, "Command0")->click();
    for (const char* name : {"Command1", "Command3", "Command4"}) {
      Find(form, name)->setFocus();
      QTest::keyClick(Find(form, name), Qt::Key_Return);
    }
    QCOMPARE(user.dialogs.texts, (QStringList{"移動先フォルダを選択してください @ " + QDir::homePath(),
                                              "移動条件が指定されていません"}));
    QVERIFY(Find(form, "Frame1")->isHidden());
    // The bottom row's picture buttons are reached by Tab and pressed by Space (they are one class).
    list->setFocus();
    for (const char* name : {"Command5", "Command2"}) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget(), Find(form, name));
    }
    QTest::keyClick(Find(form, "Command2"), Qt::Key_Space);
    QCOMPARE(user.dialogs.texts.last(), "ファイルを開けませんでした: " + QString::fromStdString(user.Program("veskora.log")));
  }

  // Run now: the log line shown as it is; switched on, the timer's ticks; a desktop that is home is never swept.
  void aCycleRunNowShowsTheLogLineAsItIsAndNeverSweepsHome() {
    UserEnvironment user;
    const std::string dest = user.MakeDir("reports"), name = "<img src=&#47;dev&#47;zero>.pdf";
    WriteFile(user.Desktop(name), "one");
    user.SetSettings("8000|6000|0|False");
    user.desktopFolder = &DesktopFolderPath;
    Form1* form = user.Start(RuleFileText({"-1,2,pdf," + dest, "0,2,txt," + dest}));
    auto* timer = Find<QTimer>(form, "Timer1");
    QVERIFY(!Action(form, "m2mauto")->isChecked() && !timer->isActive());
    // The log is made when it is opened, by the button as by the menu entry.
    const std::string log = user.Program("veskora.log");
    Action(form, "m2log")->trigger();
    QTest::mouseClick(Find(form, "Command2"), Qt::LeftButton);
    QCOMPARE(user.handoff.opened, QStringList(2, "file:" + QString::fromStdString(log)));
    QCOMPARE(ReadFile(log), "");
    Action(form, "m2mexec")->trigger();
    const std::string line = "[10/26 14:05:09] " + name + " を " + dest + " へ移動しました";
    QCOMPARE(ReadFile(dest + "/" + name) + ReadFile(log), "one" + line + "\r\n");
    auto* monitor = Find<QLabel>(form, "monitor");
    // Cut with "…" at the window's edge, read whole in its tooltip.
    QCOMPARE(monitor->toolTip(), QString::fromStdString(line));
    QVERIFY(monitor->text().endsWith("…") && monitor->toolTip().startsWith(monitor->text().chopped(1)));
    QCOMPARE(monitor->textFormat(), Qt::PlainText);
    WriteFile(user.Desktop("b.pdf"), "two");
    Action(form, "m2mauto")->trigger();
    QVERIFY(Action(form, "m2mauto")->isChecked() && timer->isActive() && Exists(user.Desktop("b.pdf")));
    QCOMPARE(user.Ini("app/automove"), "True");  // saved at once, for veskora-cli
    QTRY_VERIFY_WITH_TIMEOUT(Exists(dest + "/b.pdf"), 10000);
    // A tick at rest leaves a file the watch did not hear of; a tick box ticked is a change it cannot hear.
    WriteFile(user.Desktop("c.pdf"), "three");
    QVERIFY(QMetaObject::invokeMethod(timer, "timeout"));
    QVERIFY(Exists(user.Desktop("c.pdf")));
    ListView1(form)->model()->setData(ListView1(form)->model()->index(1, 0), Qt::Checked, Qt::CheckStateRole);
    QTRY_VERIFY_WITH_TIMEOUT(Exists(dest + "/c.pdf"), 10000);
    Action(form, "m2mauto")->trigger();
    QVERIFY(!Action(form, "m2mauto")->isChecked() && !timer->isActive());
    QCOMPARE(user.Ini("app/automove"), "False");
    const std::string desktop = user.MakeDir("home/デスクトップ");
    QCOMPARE(symlink(user.Path("home").c_str(), (user.Path("home") + "/link").c_str()), 0);
    WriteFile(user.Path("home") + "/notes.txt", "mine");
    for (const auto& [dirs, expected] :
         {std::pair{"$HOME/", ""}, {"/", ""}, {"$HOME/link", ""}, {"$HOME/デスクトップ", desktop.c_str()}}) {
      WriteFile(user.Path("config/user-dirs.dirs"), std::string("XDG_DESKTOP_DIR=\"") + dirs + "\"\n");
      WriteFile(desktop + "/todo.txt", "list");
      QCOMPARE(DesktopFolderPath(), std::string(expected));
      Action(form, "m2mexec")->trigger();
      QVERIFY(Exists(user.Path("home") + "/notes.txt"));
    }
    QVERIFY(Exists(dest + "/todo.txt"));
  }

  // Every control in place, and Qt's own texts in Japanese.
  void theWindowIsAtHomeForAJapaneseUser() {
    UserEnvironment user;
    user.SetSettings("3000|abc||");
    Form1* form = user.Start();
    QVERIFY(QTest::qWaitForWindowActive(form));
    const TwipsScale twips(*form);
    const QSize minimum = Minimum(form);
    QTRY_COMPARE(OuterSize(*form), minimum);
    if (QGuiApplication::platformName() == "xcb") {  // the user-seat test's screen, with a window manager
      QTRY_VERIFY2(form->geometry().top() - form->frameGeometry().top() > 15, "no title bar");
    }
    QCOMPARE(Misplaced(form), QString());
    // The add button shows exactly while the editor is hidden; a forced minimum keeps the focus and the window enabled.
    auto* add = Find<QAbstractButton>(form, "Command0");
    QCOMPARE(add->parentWidget()->childAt(add->geometry().center()), add);
    add->click();
    QVERIFY(Find(form, "Frame1")->isAncestorOf(add->parentWidget()->childAt(add->geometry().center())));
    QCOMPARE(form->focusWidget(), Find(form, "Combo1"));
    form->resize(200, 100);
    QTRY_COMPARE(OuterSize(*form), minimum);
    QVERIFY(form->focusWidget() == Find(form, "Combo1") && form->isEnabled());
    // Under a taller bar the bottom row still lies inside; a larger size is kept, a maximized one used.
    form->menuBar()->setFixedHeight(twips.Y(1000));
    SetOuterSize(*form, minimum + QSize(30, 20));
    QTRY_COMPARE(OuterSize(*form), minimum + QSize(30, 20));
    QCOMPARE(Misplaced(form), QString());
    form->setWindowState(Qt::WindowMaximized);
    QTRY_VERIFY(ListView1(form)->width() > minimum.width());
    QCOMPARE(Misplaced(form), QString());
    form->EndProgram();  // the outer size is what is saved
    QCOMPARE(user.Ini("window/height").toInt(), qRound(twips.TwipsY(OuterSize(*form).height())));
    QCOMPARE(QLocale().language(), QLocale::Japanese);
    QVERIFY(LoadQtTranslations());
    QStringList seen;
    QTimer::singleShot(300, [&seen] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      seen << box->button(QMessageBox::Yes)->text() << box->button(QMessageBox::No)->text()
           << (box->textFormat() == Qt::PlainText ? "plain" : "markup");
      box->button(QMessageBox::No)->click();
    });
    QVERIFY(!QtDialogs().AskYesNo(nullptr, "<b>x</b>を削除しますか？"));
    QCOMPARE(seen.join(' '), "はい(&Y) いいえ(&N) plain");
  }
  // Files a row wants but cannot move yet are told beside the status line, on their row and in the tray, until
  // they go; the preview says beforehand what the judge says and why, and moves nothing.
  void filesLeftWaitingAndThePreviewSayWhy() {
    UserEnvironment user;
    user.SetSettings("8000|6000|0|False");
    const std::string dest = user.MakeDir("reports");
    for (const char* name : {"a.pdf", "b.pdf", "keep.txt", "memo.doc", "x.log"}) WriteFile(user.Desktop(name), "");
    WriteFile(dest + "/b.pdf", "there");
    Form1* form = user.Start(
        RuleFileText({"0,2,doc," + dest, "-1,2,pdf," + dest, "-1,2,txt,(移動を禁止する)", "-1,2,log,(未定義)"}));
    Action(form, "m2preview")->trigger();
    auto* preview = Find<QTreeWidget>(form, "previewView");
    QStringList seen;
    for (int i = 0; i < preview->topLevelItemCount(); ++i) {
      const QTreeWidgetItem* item = preview->topLevelItem(i);
      seen << QStringList{item->text(0), item->text(1), item->text(2), item->text(3)}.join('|');
    }
    const QString pdf = "2番目: 拡張子が\"pdf\"", to = QString::fromStdString(dest);
    QCOMPARE(seen, (QStringList{"a.pdf|移動します|" + pdf + '|' + to,
                                "b.pdf|移動先に同じ名前のファイルがあります|" + pdf + '|' + to,
                                "keep.txt|移動を禁止する|3番目: 拡張子が\"txt\"|(移動を禁止する)",
                                "x.log|移動先が未定義です|4番目: 拡張子が\"log\"|(未定義)"}));
    preview->setCurrentItem(preview->topLevelItem(0));
    QCOMPARE(Find<QPlainTextEdit>(form, "previewWhy")->toPlainText().section('\n', 1),
             "1番目: 拡張子が\"doc\" — スキップ: チェックが外れています\n" + pdf +
                 " — 一致: 拡張子 \"pdf\" は \"pdf\" です\n"
                 "3番目: 拡張子が\"txt\" — 不一致: 拡張子 \"pdf\" は \"txt\" ではありません\n"
                 "4番目: 拡張子が\"log\" — 不一致: 拡張子 \"pdf\" は \"log\" ではありません\n"
                 "最初に一致した " +
                 pdf + " により: 移動します → " + to);
    QVERIFY(Exists(user.Desktop("a.pdf")));
    auto* waiting = Find<QLabel>(form, "waiting");
    const auto cycle = [&] {
      Action(form, "m2mexec")->trigger();
      return waiting->isVisible() ? waiting->text() + '\n' + waiting->toolTip() : QString();
    };
    QCOMPARE(cycle(), "2件のファイルが移動待ちです\nb.pdf — 移動先に同じ名前のファイルがあります（" + pdf +
                          "）\nx.log — 移動先が未定義です（4番目: 拡張子が\"log\"）");
    QVERIFY(Exists(dest + "/a.pdf") && Misplaced(form).isEmpty());
    const QModelIndex row = ListView1(form)->model()->index(1, 0);
    QCOMPARE(row.data(Qt::ToolTipRole).toString(), "拡張子が\"pdf\"\nb.pdf — 移動先に同じ名前のファイルがあります");
    QVERIFY(!row.data(Qt::DecorationRole).value<QIcon>().isNull());
    const auto room = [&](int r) {  // a row without a warning keeps its room, so the texts line up
      const int side = QApplication::style()->pixelMetric(QStyle::PM_SmallIconSize);
      return row.model()->index(r, 0).data(Qt::DecorationRole).value<QIcon>().actualSize(QSize(side, side));
    };
    QVERIFY(room(0) == room(1) && !room(0).isEmpty() && row.siblingAtColumn(1).data(Qt::DecorationRole).isNull());
    QCOMPARE(TrayLooks(user), "VESKORA — 自動移動は停止中\n2件のファイルが移動待ちです paused");
    waiting->setFocus();
    QTest::keyClick(waiting, Qt::Key_Return);
    QCOMPARE(user.dialogs.texts.last(), waiting->toolTip());
    std::remove((dest + "/b.pdf").c_str());
    std::remove(user.Desktop("x.log").c_str());
    QCOMPARE(cycle(), QString());
    QVERIFY(Exists(dest + "/b.pdf") && row.data(Qt::DecorationRole).isNull());
    QCOMPARE(TrayLooks(user), "VESKORA — 自動移動は停止中 paused");
  }
};

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
