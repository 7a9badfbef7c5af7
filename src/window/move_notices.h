#pragma once

#include <QObject>
#include <cstdint>
#include <deque>
#include <vector>

#include "mover/move_journal.h"

namespace veskora {

class Notifier;

// One notification per cycle that moved files: how many, which and where to.
// The batches stay at hand for a while, so that the notification's undo (or
// the tray's) can take the batch back.
class MoveNotices : public QObject {
  Q_OBJECT

 public:
  // Without a notifier nothing is shown, but the batches are still kept.
  MoveNotices(Notifier* notifier, QObject* parent);

  void Tell(std::vector<JournalRecord> moves);
  // Switched off, batches are still kept for undo, but not notified.
  void SetShown(bool shown) { shown_ = shown; }
  // The newest batch; empty when none moved yet.
  std::vector<JournalRecord> Latest() const;

  static QString Summary(std::size_t count);
  static QString Body(const std::vector<JournalRecord>& moves);

 signals:
  void undoRequested(const std::vector<JournalRecord>& moves);
  void historyRequested();

 private:
  struct Batch {
    std::uint64_t id = 0;
    std::vector<JournalRecord> moves;
  };
  static constexpr std::size_t kBatchesKept = 32;

  Notifier* notifier_;
  bool shown_ = true;
  std::deque<Batch> batches_;  // oldest first
  std::uint64_t nextId_ = 1;
};

}  // namespace veskora
