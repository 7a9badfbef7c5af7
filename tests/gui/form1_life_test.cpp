// Start-up, shutdown, the settings they read and write, the single instance
// and the tray states, on the real window with real files.
#include <signal.h>

#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QWindow>

#include "platform/qt/unix_signal_watcher.h"
#include "shell/rule_list_model.h"
#include "shell/window_layout.h"
#include "shell_fixture.h"

using namespace veskora;
using namespace veskora::testing;

namespace {

const std::string kTwoRules = "-1,1,report,/tmp/nowhere\r\n0,1,memo,(移動を禁止する)\r\n";

QSystemTrayIcon* Tray(Form1* form) { return form->findChild<QSystemTrayIcon*>(); }

// The smallest outer size, 8000 × 6000 twips, in this screen's pixels.
QSize MinimumSize(Form1* form) {
  return {qRound(8000 * form->logicalDpiX() / 1440.0), qRound(6000 * form->logicalDpiY() / 1440.0)};
}

bool InTray(Form1* form) { return form->isMinimized() && !form->isVisible() && !ListView1(form)->isVisible(); }

}  // namespace

class Form1LifeTest : public QObject {
  Q_OBJECT

 private slots:
  void firstStartTakesTheDefaults() {
    ShellFixture f;
    WriteFile(f.RulePath(), kTwoRules);
    Form1* form = f.Start();
    QVERIFY(form);
    QCOMPARE(form->logicalDpiX(), 96);
    // The default height 5000 is raised to the minimum 6000: 533 × 400 pixels.
    QTRY_COMPARE(OuterSize(*form), QSize(533, 400));
    QVERIFY(form->isVisible());
    QVERIFY(!form->isMinimized() && !form->isMaximized());
    QVERIFY(Action(form, "m2mauto")->isChecked());
    QVERIFY(Timer1(form)->isActive());
    QCOMPARE(Timer1(form)->interval(), 2000);
    QCOMPARE(ListView1(form)->model()->rowCount(), 2);
    QVERIFY(Tray(form)->isVisible());
    QCOMPARE(Tray(form)->toolTip(), QStringLiteral("VESKORA"));
    QCOMPARE(form->windowTitle(), QStringLiteral("VESKORA"));
    // Settings are written only at the end.
    QVERIFY(!Exists(f.IniPath()));
    QVERIFY(f.dialogs.shown.empty());
  }

  void aSecondCopyIsRefusedAndWritesNothing() {
    ShellFixture f;
    WriteFile(f.RulePath(), kTwoRules);
    Form1* first = f.Start();
    QVERIFY(first);

    QVERIFY(!f.Start());
    QCOMPARE(f.dialogs.shown.size(), std::size_t{1});
    QCOMPARE(f.dialogs.shown[0].kind, QStringLiteral("inform"));
    QCOMPARE(f.dialogs.shown[0].text, QStringLiteral("既に起動されています"));
    QCOMPARE(f.dialogs.shown[0].icon, Dialogs::Icon::kInformation);
    QVERIFY(!Exists(f.IniPath()));
    QCOMPARE(ReadFile(f.RulePath()), kTwoRules);
    // The first copy runs on untouched.
    QVERIFY(first->isVisible());
    QVERIFY(Timer1(first)->isActive());
    QVERIFY(Tray(first)->isVisible());

    // Once the first has ended, the next start is no second copy.
    first->EndProgram();
    f.Finish();
    QVERIFY(f.Start());
  }

  void everyWayOfEndingSavesOnceAndOnlyTheFileMenuAsks() {
    struct Way {
      const char* name;
      std::function<void(Form1*)> end;
      bool asks;
    };
    const Way ways[] = {
        {"m1end answered Yes", [](Form1* form) { Action(form, "m1end")->trigger(); }, true},
        {"ttend", [](Form1* form) { Action(form, "ttend")->trigger(); }, false},
        {"close button", [](Form1* form) { form->close(); }, false},
    };
    for (const Way& way : ways) {
      ShellFixture f;
      // An enabled flag of 5 loads ticked and is saved as -1: the file was rewritten.
      WriteFile(f.RulePath(), "5,1,report,/tmp/nowhere\r\n");
      Form1* form = f.Start();
      QVERIFY(form);
      QCOMPARE(form->logicalDpiY(), 96);  // the sizes below are 533 × 400 pixels
      QSignalSpy ended(form, &Form1::ended);
      f.dialogs.yesNoAnswers = {true};

      way.end(form);

      QVERIFY2(ended.count() == 1, way.name);
      QCOMPARE(f.dialogs.shown.size(), std::size_t{way.asks ? 1u : 0u});
      if (way.asks) QCOMPARE(f.dialogs.shown[0].text, QStringLiteral("VESKORAを終了してもよろしいですか？"));
      QCOMPARE(ReadFile(f.RulePath()), std::string("-1,1,report,/tmp/nowhere\r\n"));
      QCOMPARE(IniValue(f, "window/width"), QStringLiteral("7995"));
      QCOMPARE(IniValue(f, "window/height"), QStringLiteral("6000"));
      QCOMPARE(IniValue(f, "window/state"), QStringLiteral("0"));
      QCOMPARE(IniValue(f, "app/automove"), QStringLiteral("True"));
      QVERIFY(!Tray(form)->isVisible());

      // A second ending (a signal after the close, say) saves nothing again.
      std::remove(f.RulePath().c_str());
      form->EndProgram();
      QVERIFY(!Exists(f.RulePath()));
      QCOMPARE(ended.count(), 1);
    }
  }

  void answeringNoToTheExitQuestionChangesNothing() {
    ShellFixture f;
    WriteFile(f.RulePath(), "5,1,report,/tmp/nowhere\r\n");
    Form1* form = f.Start();
    QSignalSpy ended(form, &Form1::ended);
    f.dialogs.yesNoAnswers = {false};
    Action(form, "m1end")->trigger();
    QCOMPARE(f.dialogs.Texts(), QStringList{QStringLiteral("VESKORAを終了してもよろしいですか？")});
    QCOMPARE(ended.count(), 0);
    QVERIFY(!Exists(f.IniPath()));
    QCOMPARE(ReadFile(f.RulePath()), std::string("5,1,report,/tmp/nowhere\r\n"));
    QVERIFY(form->isVisible());
    QVERIFY(Tray(form)->isVisible());
    QVERIFY(Timer1(form)->isActive());
  }

  void sizeStateAndSwitchComeBackAtTheNextStart() {
    ShellFixture f;
    Form1* form = f.Start();
    form->setWindowState(Qt::WindowMaximized);
    QTRY_VERIFY(form->isMaximized());
    Action(form, "m2mauto")->trigger();
    const QSize maximized = OuterSize(*form);
    Action(form, "ttend")->trigger();
    QCOMPARE(IniValue(f, "window/state"), QStringLiteral("2"));
    QCOMPARE(IniValue(f, "window/width"), QString::number(maximized.width() * 15));
    QCOMPARE(IniValue(f, "app/automove"), QStringLiteral("False"));

    f.Finish();
    form = f.Start();
    QVERIFY(form->isMaximized());
    QVERIFY(!Action(form, "m2mauto")->isChecked());
    QVERIFY(!Timer1(form)->isActive());

    // Ended from the tray: the next start comes up in the tray, and coming
    // out of it gives at least the minimum size.
    Action(form, "m1mini")->trigger();
    QVERIFY(InTray(form));
    Action(form, "ttend")->trigger();
    QCOMPARE(IniValue(f, "window/state"), QStringLiteral("1"));
    f.Finish();
    form = f.Start();
    QVERIFY(InTray(form));
    emit Tray(form)->activated(QSystemTrayIcon::Trigger);
    QVERIFY(form->isVisible());
    QVERIFY(!form->isMinimized() && !form->isMaximized());
    QTRY_VERIFY(OuterSize(*form).width() >= MinimumSize(form).width());
    QVERIFY(OuterSize(*form).height() >= MinimumSize(form).height());
  }

  void theTrayIconRestoresAndOffersItsMenuOnlyInTheTray() {
    ShellFixture f;
    Form1* form = f.Start();
    QSystemTrayIcon* tray = Tray(form);
    QMenu* ttmenu = Menu(form, "ttmenu");

    emit tray->activated(QSystemTrayIcon::Context);
    QVERIFY(!ttmenu->isVisible());

    // Command5 while maximized: into the tray; back in the normal state.
    form->setWindowState(Qt::WindowMaximized);
    QTRY_VERIFY(form->isMaximized());
    QTest::mouseClick(form->findChild<QWidget*>(QStringLiteral("Command5")), Qt::LeftButton);
    QVERIFY(InTray(form));
    emit tray->activated(QSystemTrayIcon::DoubleClick);
    emit tray->activated(QSystemTrayIcon::MiddleClick);
    QVERIFY(InTray(form));
    emit tray->activated(QSystemTrayIcon::Context);
    QTRY_VERIFY(ttmenu->isVisible());
    ttmenu->hide();
    emit tray->activated(QSystemTrayIcon::Trigger);
    QVERIFY(form->isVisible());
    QVERIFY(ListView1(form)->isVisible());
    QVERIFY(!form->isMinimized() && !form->isMaximized());
    QTRY_VERIFY(form->isActiveWindow());

    // Minimized by the platform (the title bar's button): into the tray too.
    form->windowHandle()->setWindowStates(Qt::WindowMinimized);
    QTRY_VERIFY(InTray(form));
    Action(form, "ttopen")->trigger();
    QVERIFY(form->isVisible() && !form->isMinimized());

    // A left press while shown maximized makes the window normal.
    form->setWindowState(Qt::WindowMaximized);
    emit tray->activated(QSystemTrayIcon::Trigger);
    QVERIFY(!form->isMaximized());
    QVERIFY(form->isVisible());
  }

  void withoutATrayTheWindowStaysInTheTaskBar() {
    ShellFixture f;
    f.trayAvailable = false;
    Form1* form = f.Start();
    Action(form, "m1mini")->trigger();
    QVERIFY(form->isMinimized());
    QVERIFY(form->isVisible());
    Action(form, "ttend")->trigger();
    QCOMPARE(IniValue(f, "window/state"), QStringLiteral("1"));

    f.Finish();
    form = f.Start();
    QVERIFY(form->isMinimized());
    QVERIFY(form->isVisible());
  }

  void theAboutBoxNamesTheVersionAndItsMakers() {
    ShellFixture f;
    Form1* form = f.Start();
    Action(form, "m2about")->trigger();
    QCOMPARE(f.dialogs.shown.size(), std::size_t{1});
    const QString text = f.dialogs.shown[0].text;
    QCOMPARE(f.dialogs.shown[0].icon, Dialogs::Icon::kNone);
    QVERIFY(text.startsWith(QStringLiteral("VESKORA  ver.1\r\n\r\n")));
    const QString credit = text.mid(18);
    QVERIFY(!credit.trimmed().isEmpty());
    QVERIFY(!credit.contains(QLatin1Char('\n')));
  }

  void unixSignalsArriveOnTheEventLoop() {
    {
      UnixSignalWatcher watcher({SIGHUP, SIGTERM});
      QVERIFY(watcher.IsWatching());
      QSignalSpy received(&watcher, &UnixSignalWatcher::received);
      ::raise(SIGHUP);
      QTRY_COMPARE(received.count(), 1);
      QCOMPARE(received[0][0].toInt(), SIGHUP);
      // Only one watcher per process: the handler has one place to write to.
      UnixSignalWatcher second({SIGINT});
      QVERIFY(!second.IsWatching());
    }
    struct sigaction now {};
    ::sigaction(SIGHUP, nullptr, &now);
    QVERIFY(now.sa_handler == SIG_DFL);
  }
};

QTEST_MAIN(Form1LifeTest)
#include "form1_life_test.moc"
