#pragma once

#include <QCommandLineParser>

namespace veskora {

struct HelpAndVersion {
  QCommandLineOption help;
  QCommandLineOption version;
};

// -h/--help and -v/--version, as both programs offer them (Qt's own
// addHelpOption would add --help-all, which lists Qt's options again).
HelpAndVersion AddHelpAndVersion(QCommandLineParser& parser);

// The parser's complaint without its closing full stop, to go on with more.
QString ParserError(const QCommandLineParser& parser);

}  // namespace veskora
