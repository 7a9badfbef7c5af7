// The four settings through a real INI file: defaults, text forms, and the
// texts a person or an older version may have left there.
#include <QSettings>
#include <QtTest>

#include "platform/qt/settings_store.h"
#include "shell/app_settings.h"
#include "temp_dir.h"

using namespace veskora;
using namespace veskora::testing;

namespace {

// A settings store of its own in a fresh folder, as $XDG_CONFIG_HOME.
struct Store {
  Store() { QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, QString::fromStdString(dir.Path())); }
  std::string IniPath() const { return dir / "ZUL/ZUL.ini"; }
  void WriteIni(const std::string& text) const {
    dir.MakeDir("ZUL");
    WriteFile(IniPath(), text);
  }
  AppSettings Read() const { return ReadAppSettings(IniSettingsStore()); }
  TempDir dir;
};

}  // namespace

class AppSettingsTest : public QObject {
  Q_OBJECT

 private slots:
  void anEmptyStoreGivesTheDefaults() {
    Store store;
    const AppSettings read = store.Read();
    QCOMPARE(read.width, 8000.0);
    QCOMPARE(read.height, 5000.0);
    QCOMPARE(read.state, 0);
    QCOMPARE(read.automove, true);
    QVERIFY(!Exists(store.IniPath()));
  }

  void writtenValuesComeBackInTheirTextForms() {
    for (const AppSettings& written : {AppSettings{7995, 6000, 2, false}, AppSettings{12000, 9000, 1, true},
                                       AppSettings{8000, 6000, 0, true}}) {
      Store store;
      {
        IniSettingsStore settings;
        WriteAppSettings(settings, written);
      }
      const std::string ini = ReadFile(store.IniPath());
      QVERIFY(ini.find("[window]") != std::string::npos && ini.find("[app]") != std::string::npos);
      QVERIFY(ini.find("width=" + std::to_string(static_cast<int>(written.width))) != std::string::npos);
      QVERIFY(ini.find("state=" + std::to_string(written.state)) != std::string::npos);
      QVERIFY(ini.find(written.automove ? "automove=True" : "automove=False") != std::string::npos);
      const AppSettings read = store.Read();
      QCOMPARE(read.width, written.width);
      QCOMPARE(read.height, written.height);
      QCOMPARE(read.state, written.state);
      QCOMPARE(read.automove, written.automove);
    }
  }

  void stateTextsReadAsTheNearestStateHalvesToEven() {
    const std::pair<const char*, int> states[] = {{"1.5", 2}, {"0.5", 0}, {"2.5", 2},      {"1.4", 1},
                                                  {"  2", 2}, {"1 (tray)", 1}, {"7", 0}, {"-1", 0},
                                                  {"-0.5", 0}, {"max", 0}, {"", 0}};
    for (const auto& [text, state] : states) {
      Store store;
      store.WriteIni(std::string("[window]\nstate=") + text + "\n");
      QVERIFY2(store.Read().state == state, text);
    }
  }

  void sizeAndSwitchTexts() {
    Store store;
    store.WriteIni("[window]\nwidth=wide\nheight=9000.7px\n[app]\nautomove=False\n");
    AppSettings read = store.Read();
    QCOMPARE(read.width, 0.0);  // no number at the start reads 0, not the default
    QCOMPARE(read.height, 9000.7);
    QCOMPARE(read.automove, false);

    const std::pair<const char*, bool> switches[] = {
        {"True", true}, {"false", false}, {"0", false}, {"-1", true}, {"1.5", true}, {"maybe", true}, {"", true}};
    for (const auto& [text, on] : switches) {
      Store other;
      other.WriteIni(std::string("[app]\nautomove=") + text + "\n");
      QVERIFY2(other.Read().automove == on, text);
    }
  }
};

QTEST_MAIN(AppSettingsTest)
#include "app_settings_test.moc"
