#include "session/command_line.h"

namespace veskora {

HelpAndVersion AddHelpAndVersion(QCommandLineParser& parser) {
  HelpAndVersion options{
      QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help and end.")),
      QCommandLineOption({QStringLiteral("v"), QStringLiteral("version")},
                         QStringLiteral("Show the version and end."))};
  parser.addOption(options.help);
  parser.addOption(options.version);
  return options;
}

QString ParserError(const QCommandLineParser& parser) {
  QString text = parser.errorText();
  if (text.endsWith(QLatin1Char('.'))) text.chop(1);
  return text;
}

}  // namespace veskora
