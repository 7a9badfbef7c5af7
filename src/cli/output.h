#pragma once

#include <QCoreApplication>
#include <QJsonObject>
#include <QString>
#include <QTextStream>
#include <string>
#include <string_view>

#include "mover/outcome_words.h"

namespace veskora::cli {

// The context of the command line's texts in its translations: Cli::tr("...").
class Cli {
  Q_DECLARE_TR_FUNCTIONS(Cli)
};

// A name or path in a line for people: control characters and bytes that are
// not UTF-8 escaped as the move log escapes them, so every file stays on one
// line of its own.
std::string Shown(std::string_view text);
QString ShownText(std::string_view text);

// A name or path as JSON text: itself when it is UTF-8 (JSON carries line
// breaks and quotes), else as Shown gives it.
QString JsonText(const std::string& text);

// Where a command's words go, and in which language: standard output and
// error in the program, strings in a test.
class Output {
 public:
  Output(QTextStream& out, QTextStream& err, Language language) : out_(out), err_(err), language_(language) {}

  Language Words() const { return language_; }
  // The command whose errors follow: "veskora-cli: COMMAND: message".
  void SetCommand(const QString& name) { command_ = name; }

  void Text(const QString& text) { out_ << text; }
  void Line(const QString& line) { out_ << line << '\n'; }
  void Json(const QJsonObject& object);

  // An error or warning line on standard error; Fail returns the exit code.
  void Warn(const QString& message);
  int Fail(int code, const QString& message);

 private:
  QTextStream& out_;
  QTextStream& err_;
  Language language_;
  QString command_;
};

}  // namespace veskora::cli
