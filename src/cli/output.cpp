#include "cli/output.h"

#include <QJsonDocument>

#include "mover/move_log.h"
#include "rules/text_encoding.h"

namespace veskora::cli {

std::string Shown(std::string_view text) { return EscapeForLog(text); }

QString ShownText(std::string_view text) { return QString::fromStdString(EscapeForLog(text)); }

QString JsonText(const std::string& text) {
  return QString::fromStdString(IsValidUtf8(text) ? text : EscapeForLog(text));
}

void Output::Json(const QJsonObject& object) {
  out_ << QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Indented));
}

void Output::Warn(const QString& message) {
  err_ << QStringLiteral("veskora-cli: ") << (command_.isEmpty() ? QString() : command_ + QStringLiteral(": "))
       << message << '\n';
  err_.flush();
}

int Output::Fail(int code, const QString& message) {
  Warn(message);
  return code;
}

}  // namespace veskora::cli
