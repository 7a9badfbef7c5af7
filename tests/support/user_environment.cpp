#include "user_environment.h"

#include <sys/stat.h>

#include <QFile>
#include <QSettings>
#include <QTreeView>
#include <QtTest>

#include "platform/qt/instance_lock.h"
#include "platform/qt/settings_store.h"
#include "shell/form1.h"
#include "shell/program.h"

namespace veskora::testing {

UserEnvironment::UserEnvironment() {
  for (const char* folder : {"home/Desktop", "config", "data", "program"}) root_.MakeDir(folder);
  chmod(root_.MakeDir("runtime").c_str(), 0700);
  qputenv("HOME", QByteArray::fromStdString(Home()));
  qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(root_ / "config"));
  qputenv("XDG_DATA_HOME", QByteArray::fromStdString(root_ / "data"));
  qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(root_ / "runtime"));
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, QString::fromStdString(root_ / "config"));
  settings_ = std::make_unique<IniSettingsStore>();
  desktopFolder = [this] { return Desktop(); };
}

UserEnvironment::~UserEnvironment() { Finish(); }

ShellServices UserEnvironment::Services() {
  return ShellServices{dialogs,
                       handoff,
                       *settings_,
                       clock,
                       files,
                       [this] { return desktopFolder(); },
                       [this] { return root_ / "program"; },
                       [this] { return trayAvailable; }};
}

Form1* UserEnvironment::Start() {
  locks_.push_back(std::make_unique<InstanceLock>(QString::fromStdString(root_ / "runtime/veskora.lock")));
  forms_.push_back(StartProgram(Services(), *locks_.back()));
  return forms_.back().get();
}

Form1* UserEnvironment::Start(const std::string& ruleFile) {
  WriteFile(RulePath(), ruleFile);
  return Start();
}

void UserEnvironment::Finish() {
  forms_.clear();
  locks_.clear();
  settings_ = std::make_unique<IniSettingsStore>();
}

QProcessEnvironment UserEnvironment::ProcessEnvironment() const {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"}) {
    env.insert(QString::fromLatin1(name), QString::fromLocal8Bit(qgetenv(name)));
  }
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  return env;
}

QString UserEnvironment::CopyProgram(const QString& binary) const {
  const QString copy = QString::fromStdString(Program("veskora"));
  QFile::copy(binary, copy);
  return copy;
}

std::string UserEnvironment::Desktop(const std::string& name) const {
  return root_ / (name.empty() ? "home/Desktop" : "home/Desktop/" + name);
}
std::string UserEnvironment::Program(const std::string& name) const { return root_ / ("program/" + name); }
std::string UserEnvironment::Home() const { return root_ / "home"; }
std::string UserEnvironment::IniPath() const { return root_ / "config/ZUL/ZUL.ini"; }

QString UserEnvironment::Ini(const QString& key) const {
  return QSettings(QString::fromStdString(IniPath()), QSettings::IniFormat).value(key).toString();
}

namespace {
const QStringList kSettingKeys{"window/width", "window/height", "window/state", "app/automove"};
}

QString UserEnvironment::Settings() const {
  QStringList values;
  for (const QString& key : kSettingKeys) values << Ini(key);
  return values.join(' ');
}

void UserEnvironment::SetSettings(const QString& values) const {
  QSettings ini(QString::fromStdString(IniPath()), QSettings::IniFormat);
  for (int i = 0; i < kSettingKeys.size(); ++i) ini.setValue(kSettingKeys[i], values.section('|', i, i));
}

std::string RuleFileText(std::initializer_list<std::string> lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

QObject* FindObject(const QObject* form, const char* name) {
  QObject* child = form->findChild<QObject*>(QLatin1String(name));
  if (!child) qFatal("the window has no %s", name);
  return child;
}

QStringList Rows(const QObject* form) {
  QAbstractItemModel* model = Find<QTreeView>(form, "ListView1")->model();
  QStringList rows;
  for (int row = 0; row < model->rowCount(); ++row) {
    rows << model->index(row, 0).data().toString() + QLatin1Char('|') + model->index(row, 1).data().toString() +
                QLatin1Char('|') + QString::number(model->index(row, 0).data(Qt::CheckStateRole).toInt());
  }
  return rows;
}

void ClickRow(const QObject* form, int row) {
  auto* list = Find<QTreeView>(form, "ListView1");
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(row, 1)).center());
}

int SelectedRow(const QObject* form) {
  const QModelIndexList rows = Find<QTreeView>(form, "ListView1")->selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.first().row();
}

}  // namespace veskora::testing
