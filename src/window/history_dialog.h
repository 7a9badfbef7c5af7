#pragma once

#include <QDialog>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "mover/move_journal.h"

class QStandardItem;
class QStandardItemModel;
class QTreeView;

namespace veskora {

class DataFiles;
class DesktopHandoff;
class FileSystem;

// 移動履歴: the move journal newest first, grouped by the cycle that made the
// moves, each move with its time, file, deciding rule, from and to, and its
// state now. A move or a whole group can be put back, a destination opened.
class HistoryDialog : public QDialog {
  Q_OBJECT

 public:
  using PutBack = std::function<void(const std::vector<JournalRecord>& moves)>;

  HistoryDialog(DataFiles& data, std::string journalPath, FileSystem& files, DesktopHandoff& handoff, PutBack putBack,
                QWidget* parent);

  // Reads the journal again when it has changed since (or when `always`),
  // keeping the selection.
  void Refresh(bool always = false);

 private:
  void Fill();
  QList<QStandardItem*> MoveRow(std::size_t index);
  // The moves of the selected row, or of all moves of the selected group,
  // newest first.
  std::vector<std::size_t> SelectedMoves() const;
  void PutBackSelected();
  void OpenSelectedFolder();

  DataFiles& data_;
  std::string journalPath_;
  FileSystem& files_;
  DesktopHandoff& handoff_;
  PutBack putBack_;
  std::optional<FileIdentity> seen_;
  std::vector<JournalRecord> records_;
  std::vector<bool> undone_;
  QStandardItemModel* model_ = nullptr;
  QTreeView* view_ = nullptr;
};

}  // namespace veskora
