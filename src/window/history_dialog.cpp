#include "window/history_dialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTreeView>
#include <QVBoxLayout>

#include "mover/outcome_words.h"
#include "mover/paths.h"
#include "mover/verdict_words.h"
#include "ports/desktop_handoff.h"
#include "ports/file_system.h"
#include "rules/rule_key.h"

namespace veskora {

namespace {

constexpr int kRecordRole = Qt::UserRole + 1;  // the record's index; -1 on a group's row

QString Text(const std::string& text) { return QString::fromStdString(text); }

QStandardItem* Cell(const QString& text, int record = -1) {
  auto* item = new QStandardItem(text);
  item->setEditable(false);
  item->setData(record, kRecordRole);
  return item;
}

}  // namespace

HistoryDialog::HistoryDialog(DataFiles& data, std::string journalPath, FileSystem& files, DesktopHandoff& handoff,
                             PutBack putBack, QWidget* parent)
    : QDialog(parent),
      data_(data),
      journalPath_(std::move(journalPath)),
      files_(files),
      handoff_(handoff),
      putBack_(std::move(putBack)) {
  setObjectName(QStringLiteral("historyDialog"));
  setWindowTitle(QStringLiteral("移動履歴"));
  model_ = new QStandardItemModel(this);
  model_->setHorizontalHeaderLabels({QStringLiteral("日時"), QStringLiteral("ファイル名"), QStringLiteral("移動条件"),
                                     QStringLiteral("移動元 → 移動先"), QStringLiteral("状態")});
  view_ = new QTreeView(this);
  view_->setObjectName(QStringLiteral("historyView"));
  view_->setModel(model_);
  view_->setSelectionMode(QAbstractItemView::SingleSelection);
  view_->setSelectionBehavior(QAbstractItemView::SelectRows);
  view_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  auto* undo = new QPushButton(QStringLiteral("元に戻す"), this);
  undo->setObjectName(QStringLiteral("historyUndo"));
  auto* open = new QPushButton(QStringLiteral("移動先を開く"), this);
  open->setObjectName(QStringLiteral("historyOpenFolder"));
  connect(undo, &QPushButton::clicked, this, &HistoryDialog::PutBackSelected);
  connect(open, &QPushButton::clicked, this, &HistoryDialog::OpenSelectedFolder);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(undo);
  buttons->addWidget(open);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(view_);
  layout->addLayout(buttons);
  resize(900, 400);
  Refresh(true);
}

void HistoryDialog::Refresh(bool always) {
  const auto now = files_.Identity(std::string(ParentOf(journalPath_)), std::string(NameOf(journalPath_)));
  if (!always && now && seen_ && Untouched(*now, *seen_)) return;
  seen_ = now;
  records_ = ReadJournal(data_, journalPath_).records;
  undone_ = UndoneMoves(records_);
  Fill();
}

QList<QStandardItem*> HistoryDialog::MoveRow(std::size_t index) {
  const JournalRecord& move = records_[index];
  const MoveRule rule = SplitRuleKey(move.rule);
  const QString state = QString::fromUtf8(MoveStateWords(StateNow(move, undone_[index], files_), Language::kJapanese));
  const int at = static_cast<int>(index);
  return {Cell(Text(move.time), at), Cell(Text(move.name), at),
          Cell(Text(RowName(move.row, rule, Language::kJapanese)), at),
          Cell(Text(move.desktop) + QStringLiteral(" → ") + Text(move.destination), at), Cell(state, at)};
}

// Moves are grouped by the cycle that made them, as each record says when its
// cycle began; the group shows that time.
void HistoryDialog::Fill() {
  const QModelIndex current = view_->currentIndex();
  const QString selected =
      current.siblingAtColumn(0).data().toString() + '\n' + current.siblingAtColumn(1).data().toString();
  model_->removeRows(0, model_->rowCount());
  QStandardItem* group = nullptr;
  const JournalRecord* first = nullptr;
  for (std::size_t i = 0; i < records_.size(); ++i) {
    const JournalRecord& move = records_[i];
    if (move.undo) continue;
    if (!first || first->cycle != move.cycle || first->desktop != move.desktop) {
      first = &move;
      group = Cell(Text(move.cycle));
      model_->insertRow(0, {group, Cell({}), Cell({}), Cell({}), Cell({})});
    }
    group->appendRow(MoveRow(i));
    model_->item(0, 1)->setText(QStringLiteral("%1件のファイル").arg(group->rowCount()));
  }
  view_->expandAll();
  for (int g = 0; g < model_->rowCount(); ++g) {
    QStandardItem* parent = model_->item(g);
    const QString key = parent->text() + '\n' + model_->item(g, 1)->text();
    if (key == selected) view_->setCurrentIndex(parent->index());
    for (int m = 0; m < parent->rowCount(); ++m) {
      if (parent->child(m)->text() + '\n' + parent->child(m, 1)->text() == selected) {
        view_->setCurrentIndex(parent->child(m)->index());
      }
    }
  }
}

std::vector<std::size_t> HistoryDialog::SelectedMoves() const {
  const QModelIndex current = view_->currentIndex().siblingAtColumn(0);
  std::vector<std::size_t> moves;
  if (!current.isValid()) return moves;
  const int record = current.data(kRecordRole).toInt();
  if (record >= 0) return {static_cast<std::size_t>(record)};
  for (int m = model_->rowCount(current); m-- > 0;) {
    moves.push_back(static_cast<std::size_t>(model_->index(m, 0, current).data(kRecordRole).toInt()));
  }
  return moves;
}

void HistoryDialog::PutBackSelected() {
  std::vector<JournalRecord> moves;
  for (const std::size_t index : SelectedMoves()) {
    if (!undone_[index]) moves.push_back(records_[index]);
  }
  if (moves.empty()) return;
  putBack_(moves);
  Refresh(true);
}

void HistoryDialog::OpenSelectedFolder() {
  const std::vector<std::size_t> moves = SelectedMoves();
  if (!moves.empty()) handoff_.OpenFolder(Text(records_[moves.front()].destination));
}

}  // namespace veskora
