#include "window/program_options.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <array>
#include <cstdio>

#include "session/command_line.h"

namespace veskora {

namespace {

// The options every Qt program takes (QGuiApplication, QApplication and the
// X11 platform read them), with a value or without one: accepted here and
// left to Qt.
constexpr std::array<const char*, 11> kQtOptionsWithValue = {
    "platform",    "platformpluginpath", "platformtheme", "plugin",  "qwindowgeometry",
    "qwindowicon", "qwindowtitle",       "session",       "display", "style",
    "stylesheet"};
constexpr std::array<const char*, 3> kQtFlags = {"reverse", "widgetcount", "sync"};

void Print(FILE* stream, const QString& text) {
  const QByteArray bytes = text.toUtf8();
  std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
}

}  // namespace

std::optional<int> HandleProgramOptions(int argc, char** argv) {
  if (argc <= 1) return std::nullopt;
  int count = argc;
  const QCoreApplication app(count, argv);

  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "VESKORA keeps the desktop tidy: it moves each desktop file that matches one of your rules into that rule's "
      "folder. Started without arguments it opens its window (or sits in the tray). veskora-cli previews, explains "
      "and undoes its moves from a terminal; see veskora(1) and veskora-cli(1)."));
  // Qt's own options are single-dash words ("-style fusion").
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const auto [help, version] = AddHelpAndVersion(parser);
  for (const char* name : kQtOptionsWithValue) {
    QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
    option.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(option);
  }
  for (const char* name : kQtFlags) {
    QCommandLineOption option(QString::fromLatin1(name));
    option.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(option);
  }
  if (!parser.parse(QCoreApplication::arguments())) {
    Print(stderr, QStringLiteral("veskora: ") + ParserError(parser) + QStringLiteral("; see 'veskora --help'\n"));
    return 2;
  }
  if (!parser.positionalArguments().isEmpty()) {
    Print(stderr, QStringLiteral("veskora: unexpected '") + parser.positionalArguments().front() +
                      QStringLiteral("': the program takes no file or command; see 'veskora --help'\n"));
    return 2;
  }
  if (parser.isSet(help)) {
    Print(stdout, parser.helpText());
    return 0;
  }
  if (parser.isSet(version)) {
    Print(stdout, QStringLiteral("veskora ") + QStringLiteral(VESKORA_VERSION) + QLatin1Char('\n'));
    return 0;
  }
  return std::nullopt;
}

}  // namespace veskora
