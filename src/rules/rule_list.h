#pragma once

#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "rules/move_rule.h"

namespace veskora {

// One row of the rule list: its rule and its check box. Key and description
// are derived from the rule where they are written or shown.
struct RuleRow {
  MoveRule rule;
  bool checked = false;
  // The bytes the row was read from, so that a row nobody edited is written
  // back exactly as it stood: its tick field with the comma after it (dropped
  // when the tick changes), and the rest of its record up to the next record
  // (line end included). A row made or changed here has neither.
  std::string readTick{};
  std::string readRule{};
};

// Told about every change so a view can follow the one copy of the rules.
// Positions count from 1.
class RuleListObserver {
 public:
  virtual ~RuleListObserver() = default;
  virtual void RowsAboutToBeInserted(int /*first*/, int /*last*/) {}
  virtual void RowsInserted() {}
  virtual void RowsAboutToBeRemoved(int /*first*/, int /*last*/) {}
  virtual void RowsRemoved() {}
  virtual void RowChanged(int /*position*/) {}
  virtual void SelectionChanged(int /*position*/) {}
};

// The ordered rule rows: order is priority, never sorted. Holds two
// invariants: a rule stands on at most one row, and at most one row is
// selected. Positions count from 1; 0 means "none".
class RuleList {
 public:
  int Count() const { return static_cast<int>(rows_.size()); }
  bool IsValid(int position) const { return position >= 1 && position <= Count(); }
  const RuleRow& Row(int position) const { return rows_[static_cast<std::size_t>(position - 1)]; }
  const std::vector<RuleRow>& Rows() const { return rows_; }

  void Clear();
  // Appends the row at the end and returns its position; 0, changing nothing,
  // when another row holds the same rule.
  int Append(RuleRow row);
  // Removes the row; the rows below move up one place. The selection is dropped
  // when it was that row and follows its row otherwise.
  bool Remove(int position);
  // Puts new contents into the row at a position; fails, changing nothing,
  // when another row holds the same rule.
  bool Replace(int position, RuleRow row);
  // Exchanges the contents of two rows; positions and selection stay.
  bool Swap(int a, int b);

  bool SetChecked(int position, bool checked);
  bool Contains(const MoveRule& rule) const;

  // Counts every change of rows, order or check boxes (not of the selection),
  // so that what is built from the rows knows when to build again.
  std::uint64_t Version() const { return version_; }

  int Selected() const { return selected_; }
  // Selects the row at a position (the previous selection is cleared); 0 or an
  // invalid position clears the selection.
  void Select(int position);

  void SetObserver(RuleListObserver* observer) { observer_ = observer; }

 private:
  RuleRow& At(int position) { return rows_[static_cast<std::size_t>(position - 1)]; }
  void Changed(int position);

  std::vector<RuleRow> rows_;
  std::unordered_set<std::string> keys_;  // every row's MakeRuleKey
  std::uint64_t version_ = 0;
  int selected_ = 0;
  RuleListObserver* observer_ = nullptr;
};

}  // namespace veskora
