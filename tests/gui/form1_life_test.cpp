// The life of the program: start-up and every way of ending, the settings
// they read and write, one copy at a time, and the tray.
#include <signal.h>

#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QWindow>

#include "platform/qt/settings_store.h"
#include "platform/qt/unix_signal_watcher.h"
#include "shell/app_settings.h"
#include "user_environment.h"

using namespace veskora;
using namespace veskora::testing;

namespace {

const std::string kRules = RuleFileText({"5,1,report,/tmp/nowhere", "0,1,memo,(移動を禁止する)"});

QSystemTrayIcon* Tray(const Form1* form) { return form->findChild<QSystemTrayIcon*>(); }
bool Running(const Form1* form) { return Find<QTimer>(form, "Timer1")->isActive() && Tray(form)->isVisible(); }
bool Shown(const Form1* form) { return form->isVisible() && !form->isMinimized() && !form->isMaximized(); }
bool InTray(const Form1* form) {
  return form->isMinimized() && !form->isVisible() && Find(form, "ListView1")->isHidden();
}
QSize Minimum(const Form1* form) { return {TwipsScale(*form).X(8000), TwipsScale(*form).Y(6000)}; }

}  // namespace

class Form1LifeTest : public QObject {
  Q_OBJECT

 private slots:
  void startUpAndEveryWayOfEnding() {
    for (const char* way : {"m1end", "ttend", "close"}) {
      UserEnvironment user;
      Form1* form = user.Start(kRules);
      QTRY_COMPARE(OuterSize(*form), Minimum(form));  // the default height 5000 rises to 6000
      QVERIFY(Shown(form) && Running(form) && Action(form, "m2mauto")->isChecked() && Rows(form).size() == 2 &&
              Find<QTimer>(form, "Timer1")->interval() == 2000);
      QVERIFY(!user.Start());  // a second copy says so, and leaves the first alone
      QCOMPARE(user.dialogs.Texts(), QStringList{"既に起動されています"});
      QCOMPARE(user.dialogs.shown[0].icon, Dialogs::Icon::kInformation);
      QSignalSpy ended(form, &Form1::ended);
      const auto end = [&](bool yes) {
        user.dialogs.yesNoAnswers = {yes};
        way[0] == 'c' ? void(form->close()) : Action(form, way)->trigger();
      };
      if (way[1] == '1') {  // only the File menu asks; No changes nothing
        end(false);
        QCOMPARE(user.dialogs.Texts().last(), "VESKORAを終了してもよろしいですか？");
        QVERIFY(ended.isEmpty() && Shown(form) && Running(form));
      }
      QVERIFY(!Exists(user.IniPath()) && ReadFile(user.RulePath()) == kRules);
      end(true);
      QCOMPARE(user.dialogs.shown.size(), std::size_t{way[1] == '1' ? 3u : 1u});
      QVERIFY2(ended.count() == 1 && !Tray(form)->isVisible(), way);
      // A flag of 5 reads as ticked and is written back as -1: the file was saved.
      QCOMPARE(ReadFile(user.RulePath()), "-1" + kRules.substr(1));
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
    const auto restart = [&] {
      Action(form, "ttend")->trigger();
      user.Finish();
      form = user.Start();
    };
    form->setWindowState(Qt::WindowMaximized);
    QTRY_VERIFY(form->isMaximized());
    Action(form, "m2mauto")->trigger();
    const int width = qRound(TwipsScale(*form).TwipsX(OuterSize(*form).width()));
    restart();
    QCOMPARE(user.Settings(), QString("%1 %2 2 False").arg(width).arg(user.Ini("window/height")));
    QVERIFY(form->isMaximized() && !Action(form, "m2mauto")->isChecked() && !Find<QTimer>(form, "Timer1")->isActive());
    // Command5 while maximized: into the tray, for the next start too. Only a
    // left press brings it back, normal and at least the smallest size; the
    // right one offers the tray menu, and only while in the tray.
    QTest::mouseClick(Find(form, "Command5"), Qt::LeftButton);
    QVERIFY(InTray(form));
    restart();
    QSystemTrayIcon* tray = Tray(form);
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

  void theAboutBoxAndUnixSignals() {
    UserEnvironment user;
    Action(user.Start(), "m2about")->trigger();
    QVERIFY(user.dialogs.shown.size() == 1 && user.dialogs.shown[0].icon == Dialogs::Icon::kNone);
    QVERIFY(user.dialogs.Texts()[0].startsWith("VESKORA  ver.1\r\n\r\n") && user.dialogs.Texts()[0].size() > 20);
    {
      UnixSignalWatcher watcher({SIGHUP, SIGTERM});
      QSignalSpy received(&watcher, &UnixSignalWatcher::received);
      ::raise(SIGHUP);
      QTRY_COMPARE(received.count(), 1);
      QCOMPARE(received[0][0].toInt(), SIGHUP);
      QVERIFY(!UnixSignalWatcher({SIGINT}).IsWatching());  // one per process
    }
    struct sigaction now {};
    ::sigaction(SIGHUP, nullptr, &now);
    QVERIFY(now.sa_handler == SIG_DFL);
  }

  void settingsReadAsTheProgramMeansThem() {
    UserEnvironment user;
    const auto read = [] {
      const AppSettings s = ReadAppSettings(IniSettingsStore());
      return QString("%1 %2 %3 %4").arg(s.width).arg(s.height).arg(s.state).arg(s.automove ? "true" : "false");
    };
    QCOMPARE(read(), "8000 5000 0 true");
    // width|height|state|automove as stored -> as read
    for (const auto& [stored, meant] : {std::pair{"7995|6000|2|False", "7995 6000 2 false"},
                                        {"wide|9000.7px|1.5|maybe", "0 9000.7 2 true"},
                                        {"  -5|1e3|0.5|-1", "0 1000 0 true"},
                                        {"1|2|7|0", "1 2 0 false"},
                                        {"1|2|-0.5|false", "1 2 0 false"},
                                        {"1|2|2.5 (max)|", "1 2 2 true"}}) {
      user.SetSettings(stored);
      QCOMPARE(read(), meant);
    }
    IniSettingsStore store;
    WriteAppSettings(store, {7995.4, 6000, 1, false});
    QCOMPARE(user.Settings(), "7995 6000 1 False");
  }
};

QTEST_MAIN(Form1LifeTest)
#include "form1_life_test.moc"
