#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include "temp_dir.h"

#define EXPECT_HAS(text, part) EXPECT_NE((text).find(part), std::string::npos) << (text)

namespace veskora::testing {

// A user's world in a temporary folder (home, desktop, settings, state,
// runtime, a destination) and a program folder with copies of veskora and
// veskora-cli beside their rule file, so both find the same data folder.
class CliSandbox {
 public:
  CliSandbox() {
    static int argc = 1;
    static char* argv[] = {const_cast<char*>("test"), nullptr};
    static const QCoreApplication app(argc, argv);  // QProcess needs one
    chmod(root_.MakeDir("runtime").c_str(), 0700);
    env_.insert("HOME", QString::fromStdString(root_ / "home"));
    env_.insert("XDG_CONFIG_HOME", QString::fromStdString(root_.MakeDir("config")));
    env_.insert("XDG_DATA_HOME", QString::fromStdString(root_.MakeDir("data")));
    env_.insert("XDG_STATE_HOME", QString::fromStdString(root_ / "state"));  // made by the first move
    env_.insert("XDG_RUNTIME_DIR", QString::fromStdString(root_ / "runtime"));
    env_.insert("QT_QPA_PLATFORM", "offscreen");
    QFile::copy(VESKORA_CLI, QString::fromStdString(Program("veskora-cli")));
    QFile::copy(VESKORA_PROGRAM, QString::fromStdString(Program("veskora")));
  }

  struct Result {
    int code = -1;
    std::string out, err;
  };
  // One of the two programs: run to its end, or (with `running`) started.
  Result Run(const std::string& program, const QStringList& arguments, QProcess* running = nullptr) const {
    QProcess process;
    QProcess& p = running ? *running : process;
    p.setProcessEnvironment(env_);
    p.start(QString::fromStdString(Program(program)), arguments);
    if (running || !p.waitForFinished(60000)) return {};
    return {p.exitCode(), p.readAllStandardOutput().toStdString(), p.readAllStandardError().toStdString()};
  }
  Result Cli(const QStringList& arguments) const { return Run("veskora-cli", arguments); }
  QJsonObject Json(const QStringList& arguments, int code = 0) const {
    const Result result = Cli(arguments);
    EXPECT_EQ(result.code, code) << result.err;
    QJsonParseError error;
    const QJsonDocument json = QJsonDocument::fromJson(QByteArray::fromStdString(result.out), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << result.out;
    return json.object();
  }

  // Chosen fields of each object in a JSON array, one line per object.
  static std::string Fields(const QJsonArray& array, const QStringList& keys) {
    std::string text;
    for (const QJsonValue item : array) {
      for (const QString& key : keys) text += item[key].toVariant().toString().toStdString() + " ";
      text.back() = '\n';
    }
    return text;
  }

  void Rules(const std::string& lines) const { WriteFile(Program("ZUL.dat"), lines); }
  void Automove(bool on) const {
    WriteFile(root_.MakeDir("config/ZUL") + "/ZUL.ini", on ? "[app]\nautomove=True\n" : "[app]\nautomove=False\n");
  }
  std::string Desktop(const std::string& name = "") const { return desktop_ + (name.empty() ? "" : "/" + name); }
  std::string Dest(const std::string& name = "") const { return dest_ + (name.empty() ? "" : "/" + name); }
  std::string Program(const std::string& name) const { return root_ / ("program/" + name); }
  std::string Journal() const { return root_ / "state/veskora/move-journal.csv"; }
  void MakeFolder(const std::string& path) const { root_.MakeDir(path.substr(root_.Path().size() + 1)); }

 private:
  TempDir root_;
  std::string desktop_ = root_.MakeDir("home/Desktop");
  std::string dest_ = root_.MakeDir("dest");
  std::string program_ = root_.MakeDir("program");
  QProcessEnvironment env_ = QProcessEnvironment::systemEnvironment();
};

}  // namespace veskora::testing
