#pragma once

// What the window tests share: the whole program in a user environment and
// the widgets they look at.
#include <QAbstractButton>
#include <QAction>
#include <QProcessEnvironment>
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
#include "platform/qt/twips.h"
#include "scripted_dialogs.h"
#include "shell/form1.h"
#include "shell/shell_services.h"
#include "shell/window_layout.h"
#include "temp_dir.h"

namespace veskora {
class InstanceLock;
class IniSettingsStore;
}  // namespace veskora

namespace veskora::testing {

// Records what the program hands to the desktop instead of starting a file
// manager: "folder:PATH" or "file:PATH".
class RecordingHandoff final : public DesktopHandoff {
 public:
  void OpenFolder(const QString& path) override { opened << QStringLiteral("folder:") + path; }
  void OpenFile(const QString& path) override { opened << QStringLiteral("file:") + path; }
  QStringList opened;
};

// A whole user environment in a temporary folder: a home with its desktop
// (home/Desktop), the settings store (a real INI file under config), the
// runtime folder for the instance lock, and the program's folder, which holds
// "ZUL.dat" and "veskora.log". The process's environment points at it while
// the object lives. Starts the program in this process as main does, with
// the dialogs and desktop hand-offs recorded; or gives a separate process the
// same environment.
class UserEnvironment {
 public:
  UserEnvironment();
  ~UserEnvironment();

  ShellServices Services();
  // Starts a copy of the program with its own instance lock, as a second
  // process would; nullptr when it was refused. With a rule file's text, the
  // rule file is written first.
  Form1* Start();
  Form1* Start(const std::string& ruleFile);
  // Ends the runs as the end of their processes would: windows and locks go.
  void Finish();

  // For a separate process: this environment, the offscreen platform, and the
  // program copied into the program's folder (so its files land there).
  QProcessEnvironment ProcessEnvironment() const;
  QString CopyProgram(const QString& binary) const;

  std::string Desktop(const std::string& name = "") const;
  std::string Program(const std::string& name) const;
  std::string Home() const;
  std::string RulePath() const { return Program("ZUL.dat"); }
  std::string LogPath() const { return Program("veskora.log"); }
  std::string IniPath() const;
  std::string MakeDir(const std::string& name) const { return root_.MakeDir(name); }
  QString Ini(const QString& key) const;
  // The four settings as stored: "width height state automove"; and setting
  // them from "width|height|state|automove".
  QString Settings() const;
  void SetSettings(const QString& values) const;

  ScriptedDialogs dialogs;
  RecordingHandoff handoff;
  FakeClock clock{LocalTime{2024, 10, 26, 14, 5, 9}};
  PosixFileSystem files;
  bool trayAvailable = true;
  // The desktop the cycles see; the test's own desktop folder unless replaced.
  std::function<std::string()> desktopFolder;

 private:
  TempDir root_;
  std::unique_ptr<IniSettingsStore> settings_;
  std::vector<std::unique_ptr<InstanceLock>> locks_;
  std::vector<std::unique_ptr<Form1>> forms_;
};

// A rule file's text: each line ended by CR LF.
std::string RuleFileText(std::initializer_list<std::string> lines);

// The window's parts by objectName; a missing one ends the test run.
QObject* FindObject(const QObject* form, const char* name);
template <typename T = QWidget>
T* Find(const QObject* form, const char* name) {
  return qobject_cast<T*>(FindObject(form, name));
}
inline QAction* Action(const QObject* form, const char* name) { return Find<QAction>(form, name); }

// Each row of the list as "text|destination|checked" (checked: 2 or 0).
QStringList Rows(const QObject* form);
// A click on the row's second column, as a user selects a rule.
void ClickRow(const QObject* form, int row);
int SelectedRow(const QObject* form);

}  // namespace veskora::testing
