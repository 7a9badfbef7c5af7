#pragma once

#include <QJsonObject>
#include <QString>
#include <string>
#include <string_view>

namespace veskora::cli {

// A name or path in a line for people: control characters and bytes that are
// not UTF-8 escaped as the move log escapes them, so every file stays on one
// line of its own.
std::string Shown(std::string_view text);

// A name or path as JSON text: itself when it is UTF-8 (JSON carries line
// breaks and quotes), else as Shown gives it.
QString JsonText(const std::string& text);

void PrintText(const QString& text);
void PrintLine(const std::string& line);
void PrintJson(const QJsonObject& object);

// "veskora-cli: MESSAGE" on standard error; Fail returns the exit code.
void Warn(const QString& message);
int Fail(int code, const QString& message);

}  // namespace veskora::cli
