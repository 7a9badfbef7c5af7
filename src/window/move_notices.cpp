#include "window/move_notices.h"

#include "ports/notifier.h"

namespace veskora {

namespace {

// More names than this make a notification nobody reads to the end.
constexpr std::size_t kNamesShown = 8;

QString Text(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

MoveNotices::MoveNotices(Notifier* notifier, QObject* parent) : QObject(parent), notifier_(notifier) {
  if (!notifier_) return;
  notifier_->OnActionInvoked([this](const QString& key, std::uint64_t id) {
    if (key == QLatin1String("history")) return emit historyRequested();
    if (key != QLatin1String("undo")) return;
    for (const Batch& batch : batches_) {
      if (batch.id == id) return emit undoRequested(batch.moves);
    }
  });
}

QString MoveNotices::Summary(std::size_t count) { return QStringLiteral("%1件のファイルを移動しました").arg(count); }

QString MoveNotices::Body(const std::vector<JournalRecord>& moves) {
  QStringList lines;
  for (std::size_t i = 0; i < moves.size() && i < kNamesShown; ++i) {
    lines << QStringLiteral("%1 → %2").arg(Text(moves[i].name), Text(moves[i].destination));
  }
  if (moves.size() > kNamesShown) lines << QStringLiteral("ほか %1件").arg(moves.size() - kNamesShown);
  return lines.join(QLatin1Char('\n'));
}

void MoveNotices::Tell(std::vector<JournalRecord> moves) {
  if (moves.empty()) return;
  const std::uint64_t id = nextId_++;
  const QString summary = Summary(moves.size()), body = Body(moves);
  batches_.push_back({id, std::move(moves)});
  if (batches_.size() > kBatchesKept) batches_.pop_front();
  if (notifier_ && shown_) {
    notifier_->NotifyBatch(id, summary, body,
                           {{QStringLiteral("undo"), QStringLiteral("元に戻す")},
                            {QStringLiteral("history"), QStringLiteral("履歴を表示")}});
  }
}

std::vector<JournalRecord> MoveNotices::Latest() const {
  return batches_.empty() ? std::vector<JournalRecord>{} : batches_.back().moves;
}

}  // namespace veskora
