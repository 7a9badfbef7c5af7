#pragma once

// The whole program in a temporary user environment, its dialogs and desktop hand-offs recorded.
#include <sys/stat.h>

#include <QAbstractButton>
#include <QAction>
#include <QSettings>
#include <QTimer>
#include <QTreeView>
#include <QtTest>
#include <deque>
#include <functional>
#include <memory>

#include "adapters/posix/posix_data_files.h"
#include "fake_desktop_watch.h"
#include "adapters/posix/posix_file_system.h"
#include "adapters/qt/instance_lock.h"
#include "fake_clock.h"
#include "mover/move_journal.h"
#include "ports/desktop_handoff.h"
#include "ports/dialogs.h"
#include "adapters/qt/qt_tray.h"
#include "session/ini_settings_store.h"
#include "temp_dir.h"
#include "window/app_icon.h"
#include "window/form1.h"
#include "window/program.h"
#include "window/twips.h"

namespace veskora::testing {

// Answers from queues (No, or a cancelled folder choice, when empty); records every box and picker shown.
class ScriptedDialogs final : public Dialogs {
 public:
  void Inform(QWidget*, const QString& text, Icon icon) override { texts << text, icons << icon; }
  bool AskYesNo(QWidget*, const QString& text) override { return Next(text, yesNoAnswers, false); }
  QString ChooseFolder(QWidget*, const QString& title, const QString& start) override {
    return Next(title + " @ " + start, folderAnswers, QString());
  }
  template <typename T>
  T Next(const QString& text, std::deque<T>& answers, T answer) {
    Inform(nullptr, text, Icon::kNone);
    if (!answers.empty()) answer = answers.front(), answers.pop_front();
    return answer;
  }
  QStringList texts;
  QList<Icon> icons;
  std::deque<bool> yesNoAnswers;
  std::deque<QString> folderAnswers;
};

// Records what the program hands to the desktop: "folder:PATH" or "file:PATH"; fails when told to.
class RecordingHandoff final : public DesktopHandoff {
 public:
  bool OpenFolder(const QString& path) override { return opened << "folder:" + path, works; }
  bool OpenFile(const QString& path) override { return opened << "file:" + path, works; }
  QStringList opened;
  bool works = true;
};

// home/Desktop, a real INI file under config, the lock's runtime folder and the program's folder with
// ZUL.dat and veskora.log; the environment, and so that of programs started, points at them.
class UserEnvironment {
 public:
  UserEnvironment() {
    for (const char* folder : {"home/Desktop", "config", "data", "program"}) root_.MakeDir(folder);
    chmod(root_.MakeDir("runtime").c_str(), 0700);
    // The state folder is made by the first journaled move.
    for (const auto& [name, folder] : {std::pair{"HOME", "home"}, {"XDG_CONFIG_HOME", "config"},
                                       {"XDG_DATA_HOME", "data"}, {"XDG_STATE_HOME", "state"},
                                       {"XDG_RUNTIME_DIR", "runtime"}}) {
      qputenv(name, QByteArray::fromStdString(root_ / folder));
    }
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, QString::fromStdString(root_ / "config"));
    Finish();
  }
  ~UserEnvironment() { Finish(); }

  // A copy of the program with its own instance lock, as another process; nullptr when refused.
  Form1* Start(const std::string& ruleFile = {}) {
    if (!ruleFile.empty()) WriteFile(RulePath(), ruleFile);
    locks_.push_back(std::make_unique<InstanceLock>(QString::fromStdString(root_ / "runtime/veskora.lock")));
    if (!tray_) tray_ = std::make_unique<QtTray>(MakeAppIcon());  // a QGuiApplication's, made where a window starts
    const ShellServices services{dialogs, handoff, *settings_, *tray_, clock, files, dataFiles, desktopFolder,
                                 [this] { return root_ / "program"; }, [this] { return trayAvailable; },
                                 nullptr, &journal_, &watch, notifier};
    forms_.push_back(StartProgram(services, *locks_.back()));
    return forms_.back().get();
  }
  // Ends the runs as the end of their processes would: windows and locks go.
  void Finish() {
    forms_.clear();
    locks_.clear();
    settings_ = std::make_unique<IniSettingsStore>();
    tray_.reset();
  }

  QSystemTrayIcon& Tray() { return tray_->Icon(); }
  std::string Path(const std::string& name) const { return root_ / name; }
  std::string Desktop(const std::string& name = "") const {
    return Path("home/Desktop") + (name.empty() ? "" : "/") + name;
  }
  std::string Program(const std::string& name) const { return root_ / ("program/" + name); }
  std::string RulePath() const { return Program("ZUL.dat"); }
  std::string IniPath() const { return root_ / "config/ZUL/ZUL.ini"; }
  std::string MakeDir(const std::string& name) const { return root_.MakeDir(name); }
  QString Ini(const QString& key) const {
    return QSettings(QString::fromStdString(IniPath()), QSettings::IniFormat).value(key).toString();
  }
  // The four settings as stored, "width height state automove"; set from "width|height|state|automove".
  QString Settings() const {
    QStringList values;
    for (const char* key : kKeys) values << Ini(key);
    return values.join(' ');
  }
  void SetSettings(const QString& values) const {
    QSettings ini(QString::fromStdString(IniPath()), QSettings::IniFormat);
    for (int i = 0; i < 4; ++i) ini.setValue(kKeys[i], values.section('|', i, i));
  }

  ScriptedDialogs dialogs;
  RecordingHandoff handoff;
  FakeClock clock{LocalTime{2024, 10, 26, 14, 5, 9}};
  PosixFileSystem files;
  PosixDataFiles dataFiles;
  FakeDesktopWatch watch;  // hears nothing: a tick's cycle runs only when something else says it may change anything
  bool trayAvailable = true;
  Notifier* notifier = nullptr;
  std::function<std::string()> desktopFolder = [this] { return Desktop(); };  // set before Start to change

 private:
  static constexpr const char* kKeys[] = {"window/width", "window/height", "window/state", "app/automove"};
  TempDir root_;
  MoveJournal journal_{dataFiles, root_ / "state/move-journal.csv", clock};
  std::unique_ptr<IniSettingsStore> settings_;
  std::unique_ptr<QtTray> tray_;
  std::vector<std::unique_ptr<InstanceLock>> locks_;
  std::vector<std::unique_ptr<Form1>> forms_;
};

// A rule file's text: each line ended by CR LF.
inline std::string RuleFileText(std::initializer_list<std::string> lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

// The window's parts by objectName; a missing one ends the test run.
template <typename T = QWidget>
T* Find(const QObject* form, const char* name) {
  auto* child = form->findChild<T*>(QLatin1String(name));
  if (!child) qFatal("the window has no %s", name);
  return child;
}
inline QAction* Action(const QObject* form, const char* name) { return Find<QAction>(form, name); }
inline QTreeView* ListView1(const QObject* form) { return Find<QTreeView>(form, "ListView1"); }

// Each row of the list as "text|destination|checked" (checked: 2 or 0), "*" when marked.
inline QStringList Rows(const QObject* form) {
  const QAbstractItemModel* model = ListView1(form)->model();
  QStringList rows;
  for (int row = 0; row < model->rowCount(); ++row) {
    const QModelIndex first = model->index(row, 0), second = model->index(row, 1);
    rows << first.data().toString() + '|' + second.data().toString() + '|' +
                QString::number(first.data(Qt::CheckStateRole).toInt());
    // Each cell's tooltip holds its whole text.
    for (const QModelIndex& cell : {first, second}) rows.last() += cell.data(Qt::ToolTipRole) == cell.data() ? "" : "!";
    if (first.data(Qt::FontRole).value<QFont>().bold()) rows.last() += '*';  // the row being changed
  }
  return rows;
}
// A click on the row's second column, as a user selects a rule.
inline void ClickRow(const QObject* form, int row, Qt::KeyboardModifiers keys = {}) {
  QTreeView* list = ListView1(form);
  QTest::mouseClick(list->viewport(), Qt::LeftButton, keys, list->visualRect(list->model()->index(row, 1)).center());
}
inline int SelectedRow(const QObject* form) {
  const QModelIndexList rows = ListView1(form)->selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.first().row();
}

}  // namespace veskora::testing
