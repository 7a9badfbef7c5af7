#include "window/why_words.h"

#include <QStringList>

#include "mover/conditions.h"
#include "mover/outcome_words.h"
#include "rules/rule_description.h"

namespace veskora {

namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }
QString Quoted(const std::string& text) { return QStringLiteral("\"%1\"").arg(Text(text)); }

// 14 digits as "YYYY/MM/DD hh:mm:ss"; anything else quoted as it is.
QString Stamp(const std::string& digits) {
  if (digits.size() != 14 || digits.find_first_not_of("0123456789") != std::string::npos) return Quoted(digits);
  const QString d = Text(digits);
  return QStringLiteral("%1/%2/%3 %4:%5:%6")
      .arg(d.mid(0, 4), d.mid(4, 2), d.mid(6, 2), d.mid(8, 2), d.mid(10, 2), d.mid(12, 2));
}

QString Compared(const RowVerdict& v, const MoveRule& rule) {
  const std::string& file = v.fileValue;
  const bool yes = v.matches;
  switch (rule.kind) {
    case kNameKeyword:
      return QStringLiteral("ファイル名 %1 に %2 が%3")
          .arg(Quoted(file), Quoted(rule.value),
               yes ? QStringLiteral("含まれています")
                   : QStringLiteral("含まれていません（大文字と小文字は区別されます）"));
    case kExtension:
      if (file.empty()) return QStringLiteral("拡張子がありません（%1 ではありません）").arg(Quoted(rule.value));
      return QStringLiteral("拡張子 %1 は %2 %3")
          .arg(Quoted(file), Quoted(rule.value), yes ? QStringLiteral("です") : QStringLiteral("ではありません"));
    case kSizeSmaller:
    case kSizeLarger: {
      if (file.empty()) return QStringLiteral("ファイルサイズを読み取れません");
      const QString than = rule.kind == kSizeSmaller ? QStringLiteral("より小さい") : QStringLiteral("より大きい");
      return QStringLiteral("サイズ %1 Byte は %2（%3 Byte）%4%5")
          .arg(Text(file), Text(rule.value), QString::number(SizeThreshold(rule.value), 'f', 0), than,
               yes ? QStringLiteral("です") : QStringLiteral("とはいえません"));
    }
    case kTimeOlder:
    case kTimeNewer: {
      if (file.empty()) return QStringLiteral("ファイルの時刻を読み取れません");
      const QString than = rule.kind == kTimeOlder ? QStringLiteral("より古い") : QStringLiteral("より新しい");
      return QStringLiteral("更新時刻 %1 は %2 %3%4")
          .arg(Stamp(file), Stamp(rule.value), than, yes ? QStringLiteral("です") : QStringLiteral("とはいえません"));
    }
    default:
      return QStringLiteral("この種類の移動条件 (%1) には何も一致しません").arg(rule.kind);
  }
}

}  // namespace

QString RowName(int row, const MoveRule& rule) {
  return QStringLiteral("%1番目: %2").arg(row).arg(Text(DescribeRule(rule)));
}

QString OutcomeText(Outcome outcome) { return QString::fromUtf8(OutcomeWords(outcome, Language::kJapanese)); }

QString FileLine(const std::string& name, Outcome outcome, int row, const MoveRule& rule) {
  return QStringLiteral("%1 — %2（%3）").arg(Text(name), OutcomeText(outcome), RowName(row, rule));
}

QString RowReason(const RowVerdict& v, const MoveRule& rule) {
  if (!v.enabled) return QStringLiteral("スキップ: チェックが外れています");
  return (v.matches ? QStringLiteral("一致: ") : QStringLiteral("不一致: ")) + Compared(v, rule);
}

QString Explanation(const FileExplanation& why, const RuleList& rules) {
  QStringList lines;
  if (why.facts) {
    lines << QStringLiteral("サイズ %1 Byte、更新時刻 %2")
                 .arg(why.facts->size)
                 .arg(Stamp(TimeStampText(why.facts->mtime)));
  }
  for (const RowVerdict& v : why.rows) {
    const MoveRule& rule = rules.Row(v.row).rule;
    lines << RowName(v.row, rule) + QStringLiteral(" — ") + RowReason(v, rule);
  }
  if (!why.decision) {
    lines << QStringLiteral("一致する移動条件がないため、デスクトップに残ります");
  } else {
    const MoveRule& rule = rules.Row(why.decision->row).rule;
    QString decision = QStringLiteral("最初に一致した %1 により: %2")
                           .arg(RowName(why.decision->row, rule), OutcomeText(why.decision->outcome));
    if (why.decision->outcome == Outcome::kMoves) decision += QStringLiteral(" → ") + Text(rule.destination);
    lines << decision;
  }
  return lines.join('\n');
}

}  // namespace veskora
