// The real program in a real process: a user environment in a temporary
// folder, the binary copied into its own program folder beside "ZUL.dat",
// the offscreen platform in place of a screen.
#include <signal.h>
#include <sys/stat.h>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QtTest>

#include "temp_dir.h"

using namespace veskora::testing;

namespace {

class UserEnvironment {
 public:
  UserEnvironment()
      : home_(root_.MakeDir("home")),
        desktop_(root_.MakeDir("home/Desktop")),
        program_(root_.MakeDir("program")),
        dest_(root_.MakeDir("reports")) {
    const std::string runtime = root_.MakeDir("runtime");
    chmod(runtime.c_str(), 0700);
    env_ = QProcessEnvironment::systemEnvironment();
    env_.insert("HOME", QString::fromStdString(home_));
    env_.insert("XDG_CONFIG_HOME", QString::fromStdString(root_.MakeDir("config")));
    env_.insert("XDG_DATA_HOME", QString::fromStdString(root_.MakeDir("data")));
    env_.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime));
    env_.insert("QT_QPA_PLATFORM", "offscreen");
    QFile::copy(QStringLiteral(VESKORA_BINARY), QString::fromStdString(program_ + "/veskora"));
  }

  void Start(QProcess& process) const {
    process.setProcessEnvironment(env_);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QString::fromStdString(program_ + "/veskora"), {});
  }

  std::string Desktop(const std::string& name) const { return desktop_ + "/" + name; }
  std::string Dest(const std::string& name) const { return dest_ + "/" + name; }
  const std::string& DestFolder() const { return dest_; }
  std::string Program(const std::string& name) const { return program_ + "/" + name; }
  std::string IniPath() const { return root_ / "config/ZUL/ZUL.ini"; }
  std::string LockPath() const { return root_ / "runtime/veskora.lock"; }

 private:
  TempDir root_;
  std::string home_;
  std::string desktop_;
  std::string program_;
  std::string dest_;
  QProcessEnvironment env_;
};

}  // namespace

class VeskoraEndToEndTest : public QObject {
  Q_OBJECT

 private slots:
  void movesLogsAndSavesEverythingOnSigterm() {
    UserEnvironment user;
    // An enabled flag of 5 is read as ticked and written back as -1.
    WriteFile(user.Program("ZUL.dat"), "5,1,report," + user.DestFolder() + "\r\n0,1,memo,(移動を禁止する)\r\n");
    WriteFile(user.Desktop("report.txt"), "quarterly");

    QProcess veskora;
    user.Start(veskora);
    QVERIFY(veskora.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(Exists(user.Dest("report.txt")), 20000);
    QVERIFY(!Exists(user.Desktop("report.txt")));
    QTRY_VERIFY(Exists(user.Program("veskora.log")));
    const QString log = QString::fromStdString(ReadFile(user.Program("veskora.log")));
    const QRegularExpression line(QStringLiteral("^\\[\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d\\] report.txt を ") +
                                  QRegularExpression::escape(QString::fromStdString(user.DestFolder())) +
                                  QStringLiteral(" へ移動しました\r\n$"));
    QVERIFY2(line.match(log).hasMatch(), qPrintable(log));

    ::kill(static_cast<pid_t>(veskora.processId()), SIGTERM);
    QVERIFY(veskora.waitForFinished(20000));
    QCOMPARE(veskora.exitStatus(), QProcess::NormalExit);
    QCOMPARE(veskora.exitCode(), 0);
    QCOMPARE(ReadFile(user.Program("ZUL.dat")),
             "-1,1,report," + user.DestFolder() + "\r\n0,1,memo,(移動を禁止する)\r\n");
    QSettings settings(QString::fromStdString(user.IniPath()), QSettings::IniFormat);
    QCOMPARE(settings.value("window/width").toString(), QStringLiteral("7995"));
    QCOMPARE(settings.value("window/height").toString(), QStringLiteral("6000"));
    QCOMPARE(settings.value("window/state").toString(), QStringLiteral("0"));
    QCOMPARE(settings.value("app/automove").toString(), QStringLiteral("True"));
  }

  void aCrashedRunDoesNotBlockTheNextStart() {
    UserEnvironment user;
    WriteFile(user.Program("ZUL.dat"), "-1,1,report," + user.DestFolder() + "\r\n");
    WriteFile(user.Desktop("report-1.txt"), "1");
    {
      QProcess crashed;
      user.Start(crashed);
      QTRY_VERIFY_WITH_TIMEOUT(Exists(user.Dest("report-1.txt")), 20000);
      ::kill(static_cast<pid_t>(crashed.processId()), SIGKILL);
      QVERIFY(crashed.waitForFinished(20000));
    }
    // The killed run saved nothing and left its lock behind.
    QVERIFY(!Exists(user.IniPath()));
    QVERIFY(Exists(user.LockPath()));

    WriteFile(user.Desktop("report-2.txt"), "2");
    QProcess next;
    user.Start(next);
    QTRY_VERIFY_WITH_TIMEOUT(Exists(user.Dest("report-2.txt")), 20000);
    ::kill(static_cast<pid_t>(next.processId()), SIGHUP);
    QVERIFY(next.waitForFinished(20000));
    QCOMPARE(next.exitCode(), 0);
    QVERIFY(Exists(user.IniPath()));
  }
};

QTEST_GUILESS_MAIN(VeskoraEndToEndTest)
#include "veskora_end_to_end_test.moc"
