#pragma once

#include <sys/stat.h>

#include <QAction>
#include <QMenu>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QTreeView>
#include <QtTest>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/posix/posix_file_system.h"
#include "platform/qt/desktop_handoff.h"
#include "platform/qt/instance_lock.h"
#include "platform/qt/settings_store.h"
#include "scripted_dialogs.h"
#include "shell/form1.h"
#include "shell/program.h"
#include "shell/shell_services.h"
#include "temp_dir.h"

namespace veskora::testing {

// Records what the program hands to the desktop instead of starting a file
// manager.
class RecordingHandoff final : public DesktopHandoff {
 public:
  void OpenFolder(const QString& path) override { opened << QStringLiteral("folder:") + path; }
  void OpenFile(const QString& path) override { opened << QStringLiteral("file:") + path; }
  QStringList opened;
};

// A whole user environment in a temporary folder: home with its desktop, the
// settings store (a real INI file), the runtime folder with the instance lock
// and the data folder with "ZUL.dat". Starts the program as main does, with
// the dialogs and desktop hand-offs recorded.
class ShellFixture {
 public:
  ShellFixture()
      : home_(root_.MakeDir("home")),
        desktop_(root_.MakeDir("home/Desktop")),
        config_(root_.MakeDir("config")),
        runtime_(root_.MakeDir("runtime")),
        data_(root_.MakeDir("data")) {
    chmod(runtime_.c_str(), 0700);
    qputenv("HOME", QByteArray::fromStdString(home_));
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config_));
    qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(runtime_));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, QString::fromStdString(config_));
    settings_ = std::make_unique<IniSettingsStore>();
  }

  ShellServices Services() {
    return ShellServices{dialogs,
                         handoff,
                         *settings_,
                         clock,
                         files,
                         [this] { return desktop_; },
                         [this] { return data_; },
                         [this] { return trayAvailable; }};
  }

  // Starts a copy of the program with its own instance lock (as a second
  // process would); nullptr when it was refused.
  Form1* Start() {
    locks_.push_back(std::make_unique<InstanceLock>(QString::fromStdString(runtime_ + "/veskora.lock")));
    forms_.push_back(StartProgram(Services(), *locks_.back()));
    return forms_.back().get();
  }

  // Ends a form's run as the process end would: the window and its lock go.
  void Finish() {
    forms_.clear();
    locks_.clear();
    settings_ = std::make_unique<IniSettingsStore>();
  }

  std::string IniPath() const { return config_ + "/ZUL/ZUL.ini"; }
  std::string RulePath() const { return data_ + "/ZUL.dat"; }
  std::string LogPath() const { return data_ + "/veskora.log"; }
  const std::string& Desktop() const { return desktop_; }
  std::string MakeDir(const std::string& name) const { return root_.MakeDir(name); }
  std::string operator/(const std::string& name) const { return root_ / name; }

  ScriptedDialogs dialogs;
  RecordingHandoff handoff;
  FakeClock clock{LocalTime{2024, 10, 26, 14, 5, 9}};
  PosixFileSystem files;
  bool trayAvailable = true;

 private:
  TempDir root_;
  std::string home_;
  std::string desktop_;
  std::string config_;
  std::string runtime_;
  std::string data_;
  std::unique_ptr<IniSettingsStore> settings_;
  std::vector<std::unique_ptr<InstanceLock>> locks_;
  std::vector<std::unique_ptr<Form1>> forms_;
};

// The main window's parts by objectName.
inline QAction* Action(Form1* form, const char* name) { return form->findChild<QAction*>(QLatin1String(name)); }
inline QMenu* Menu(Form1* form, const char* name) { return form->findChild<QMenu*>(QLatin1String(name)); }
inline QTimer* Timer1(Form1* form) { return form->findChild<QTimer*>(QStringLiteral("Timer1")); }
inline QTreeView* ListView1(Form1* form) { return form->findChild<QTreeView*>(QStringLiteral("ListView1")); }

// Each row of the list as "text|destination|checked".
inline QStringList Rows(Form1* form) {
  QAbstractItemModel* model = ListView1(form)->model();
  QStringList rows;
  for (int row = 0; row < model->rowCount(); ++row) {
    rows << model->index(row, 0).data().toString() + QLatin1Char('|') + model->index(row, 1).data().toString() +
                QLatin1Char('|') + QString::number(model->index(row, 0).data(Qt::CheckStateRole).toInt());
  }
  return rows;
}

inline void ClickRow(Form1* form, int row) {
  QTreeView* list = ListView1(form);
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(row, 1)).center());
}

inline int SelectedRow(Form1* form) {
  const QModelIndexList rows = ListView1(form)->selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.first().row();
}

inline QString IniValue(const ShellFixture& f, const QString& key) {
  return QSettings(QString::fromStdString(f.IniPath()), QSettings::IniFormat).value(key).toString();
}

}  // namespace veskora::testing
