#include "window/editor/choice_entries.h"

namespace veskora {

QStringList KindEntries() {
  // Index + 1 is the rule's kind number.
  return {QStringLiteral("ファイル名キーワード指定"), QStringLiteral("拡張子指定"),
          QStringLiteral("ファイルサイズ指定(小)"),    QStringLiteral("ファイルサイズ指定(大)"),
          QStringLiteral("ファイル作成時刻指定(古)"),  QStringLiteral("ファイル作成時刻指定(新)")};
}

QStringList SizeEntries() {
  return {QString(), "10", "100", "1K", "10K", "100K", "1M", "10M", "100M", "1G"};
}

QStringList TwoDigitEntries(int first, int last) {
  QStringList entries{QString()};
  for (int number = first; number <= last; ++number) entries << QStringLiteral("%1").arg(number, 2, 10, QChar('0'));
  return entries;
}

}  // namespace veskora
