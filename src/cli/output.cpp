#include "cli/output.h"

#include <QJsonDocument>
#include <cstdio>

#include "mover/move_log.h"
#include "rules/text_encoding.h"

namespace veskora::cli {

namespace {

void Write(FILE* stream, const QByteArray& bytes) { std::fwrite(bytes.constData(), 1, bytes.size(), stream); }

}  // namespace

std::string Shown(std::string_view text) { return EscapeForLog(text); }

QString JsonText(const std::string& text) {
  return QString::fromStdString(IsValidUtf8(text) ? text : EscapeForLog(text));
}

void PrintText(const QString& text) { Write(stdout, text.toUtf8()); }

void PrintLine(const std::string& line) {
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
}

void PrintJson(const QJsonObject& object) { Write(stdout, QJsonDocument(object).toJson(QJsonDocument::Indented)); }

void Warn(const QString& message) { Write(stderr, (QStringLiteral("veskora-cli: ") + message + '\n').toUtf8()); }

int Fail(int code, const QString& message) {
  Warn(message);
  return code;
}

}  // namespace veskora::cli
